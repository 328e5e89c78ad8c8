// Layout 1 of the report: the initial data and the numbered calculation list.
#include <string_view>

#include "value_source.h"
#include "velmora/report/reports.h"

namespace velmora::report {
namespace {

namespace field = design::field;
using S = calc::CalculationState;

// One input of the initial-data block. The first of a line stands after
// Spc(column), the others after Tab(column), so that the "=" of every label
// of a column lines up (columns 12, 32, 53, 75 and 91).
struct InputGroup {
  int column = 0;
  std::string_view label;  // empty: the line has no more groups
  int field = 0;
  std::string_view pattern;
};

constexpr InputGroup kInputBlock[13][5] = {
    {{10, "f=", field::f, "###.####"},
     {30, "Un=", field::Un, "####.####"},
     {50, "Kfe=", field::Kfe, "####.####"},
     {70, "GGPph=", field::GGPph, "####"},
     {89, "hw=", field::hw, "##.##"}},
    {{9, "si=", field::si, "###.####"},
     {28, "QMHW=", field::QMHW, "####.####"},
     {50, "Lo1=", field::Lo1, "####.####"},
     {72, "Lo2=", field::Lo2, "####.####"},
     {90, "D=", field::D, "####.###"}},
    {{10, "H=", field::H, "###.####"},
     {30, "Q1=", field::Q1, "####"},
     {51, "Q2=", field::Q2, "####"},
     {73, "D1=", field::D1, "####.####"},
     {89, "ZC=", field::ZC, "####.###"}},
    {{8, "DI1=", field::DI1, "####.####"},
     {29, "DI2=", field::DI2, "###"},
     {52, "G=", field::G, "###.###"},
     {73, "Y1=", field::Y1, "#.###"},
     {88, "CZN=", field::CZN, "#.###"}},
    {{8, "B01=", field::B01, "###.###"},
     {29, "HS0=", field::HS0, "####.###"},
     {50, "ZS1=", field::ZS1, "####.###"},
     {72, "BS1=", field::BS1, "####.###"},
     {88, "BS2=", field::BS2, "###.###"}},
    {{7, "HS12=", field::HS12, "###.###"},
     {30, "sk=", field::sk, "####.###"},
     {50, "B02=", field::B02, "####.###"},
     {72, "HR0=", field::HR0, "####.###"},
     {88, "ZS2=", field::ZS2, "###.###"}},
    {{8, "BR1=", field::BR1, "###.###"},
     {29, "BR2=", field::BR2, "####.###"},
     {50, "BR3=", field::BR3, "####.###"},
     {72, "BR4=", field::BR4, "####.###"},
     {87, "HR12=", field::HR12, "###.###"}},
    {{8, "HR3=", field::HR3, "####.###"}, {29, "SRR=", field::SRR, "#.###"}},
    {{9, "Pn=", field::Pn, "###.####"},
     {31, "P=", field::P, "####.####"},
     {50, "EFF=", field::EFF, "####.####"},
     {73, "PF=", field::PF, "####.####"},
     {88, "IST=", field::IST, "####.###"}},
    {{8, "TST=", field::TST, "###.####"},
     {30, "TM=", field::TM, "####.####"},
     {51, "PS=", field::PS, "####.####"},
     {72, "PFW=", field::PFW, "####.####"},
     {90, "A=", field::A, "####.###"}},
    {{10, "L=", field::L, "###.####"},
     {30, "LS=", field::LS, "####.####"},
     {51, "LT=", field::LT, "####.####"},
     {74, "Z=", field::Z, "####.####"},
     {89, "ZS=", field::ZS, "####.###"}},
    {{9, "ZT=", field::ZT, "###.####"},
     {29, "SF0=", field::SF0, "####.####"},
     {51, "JJ=", field::JJ, "####.####"},
     {72, "DJJ=", field::DJJ, "####.####"},
     {89, "MM=", field::MM, "####.###"}},
    {{8, "DMM=", field::DMM, "###.####"}, {28, "SHFA=", field::SHFA, "####.####"}},
};

// The forms of a line of the numbered list.
enum class Form {
  Heading,      // the literal alone: a section title or an item without computation
  Value,        // label, value
  Pair,         // label, value, label, value
  Coefficient,  // label, value, "Cx": a leakage reactance before the factor Cx
};

struct ListRow {
  Form form;
  std::string_view label;
  ValueSource value = {};
  std::string_view label2 = {};
  ValueSource value2 = {};
};

ReportValue PolePairs(const ReportSources& s) {
  return ReportValue::Number(InputNumber(s, field::P) / 2);
}

using enum Form;

// Every value is the one of the last passes of the iterations. The labels
// keep the procedure's own irregular numbering ("22.1 ", two "65.1.", two
// "117.1.", "51.定子漏抗X11=" after "51.2.").
constexpr ListRow kListRows[] = {
    {Heading, "一)额定数据及主要尺寸"},
    {Value, "1.输出功率Pn=", In(field::Pn)},
    {Value, "2.电压Un=", In(field::Un)},
    {Value, "3.功电流IKW=", &S::IKW},
    {Value, "4.效率EFF=", In(field::EFF)},
    {Value, "5.功率因数PF=", In(field::PF)},
    {Value, "6.极对数p=", PolePairs},
    {Pair, "7.定子槽数Q1=", In(field::Q1), "转子槽数Q2=", In(field::Q2)},
    {Pair, "8.定子每极每相槽数Qp1=", &S::Qp1, "转子每极每相槽数Qp2=", &S::Qp2},
    {Heading, "9.定转子冲片尺寸略"},
    {Value, "10.极距TP=", &S::TP},
    {Value, "11.定子齿距T1=", &S::T1},
    {Value, "12.转子齿距T2=", &S::T2},
    {Value, "13.节距Y1=", In(field::Y1)},
    {Value, "14.转子斜槽宽BSK=", &S::BSK},
    {Value, "15.每槽导体数Z=", In(field::Z)},
    {Value, "16.每相串联导体数ZF=", &S::ZF},
    {Value, "17.1.槽面积ASS=", &S::ASS},
    {Value, "17.2.槽绝缘占面积AI=", &S::AI},
    {Value, "17.3.槽有效面积AE=", &S::AE},
    {Value, "17.4.槽满率SF=", &S::SF},
    {Value, "18.铁芯长L=", In(field::L)},
    {Value, "19.1.铁芯有效长LEF=", &S::LEF},
    {Value, "19.2.净铁芯长LFE=", &S::LFE},
    {Value, "20.1.分布系数KD1=", &S::KD1},
    {Value, "20.2.短距系数KP1=", &S::KP1},
    {Value, "20.3.绕组系数KDP1=", &S::KDP1},
    {Value, "21.每相有效串联导体数=", EffectiveConductors},
    {Heading, "二)磁路计算"},
    {Value, "22.1 满载电势系数KE0=", &S::KE0},
    {Value, "22.2.每极磁通FA=", &S::FA},
    {Value, "23.1.定子齿宽BT1=", &S::BT1W},
    {Value, "23.2.转子齿宽BT2=", &S::BT2W},
    {Value, "23.3.定子齿部截面积AT1=", &S::AT1},
    {Value, "23.4.转子齿部截面积AT2=", &S::AT2},
    {Value, "24.1.定子轭计算高度HJ11=", &S::HJ11},
    {Value, "24.2.转子轭计算高度HJ21=", &S::HJ21},
    {Value, "24.3.定子轭部截面积AJ1=", &S::AJ1},
    {Value, "24.4.转子轭部截面积AJ2=", &S::AJ2},
    {Value, "25.空气隙面积AG=", &S::AG},
    {Value, "26.1.饱和系数初值FT0=", &S::FT0},
    {Value, "26.2.波幅系数FS=", &S::FS},
    {Value, "27.定子齿磁密BT1=", &S::BT1},
    {Value, "28.转子齿磁密BT2=", &S::BT2},
    {Value, "29.定子轭磁密BJ1=", &S::BJ1},
    {Value, "30.转子轭磁密BJ2=", &S::BJ2},
    {Value, "31.空气隙磁密BG=", &S::BG},
    {Value, "32.1.定子齿磁场强度HT1=", &S::HT1},
    {Value, "32.2.转子齿磁场强度HT2=", &S::HT2},
    {Value, "32.3.定子轭磁场强度HJ1=", &S::HJ1},
    {Value, "32.4.转子轭磁场强度HJ2=", &S::HJ2},
    {Value, "33.1.定子齿磁路计算长度LT1=", &S::LT1},
    {Value, "33.2.转子齿磁路计算长度LT2=", &S::LT2},
    {Value, "34.1.定子轭磁路计算长度LJ1=", &S::LJ1},
    {Value, "34.2.转子轭磁路计算长度LJ2=", &S::LJ2},
    {Value, "35.有效气隙长度GEF=", &S::GEF},
    {Value, "36.1.定子齿磁压降FT1=", &S::FT1},
    {Value, "36.2.转子齿磁压降FT2=", &S::FT2},
    {Value, "37.1.定子轭磁路校正系数CJ1=", &S::CJ1},
    {Value, "37.2.定子轭磁压降FJ1=", &S::FJ1},
    {Value, "37.3.转子轭磁路校正系数CJ2=", &S::CJ2},
    {Value, "37.4.转子轭磁压降FJ2=", &S::FJ2},
    {Value, "38.空气隙磁压降FG=", &S::FG},
    {Value, "39.饱和系数计算值见序FT=", &S::FT},
    {Value, "39.饱和系数初值FT0=", &S::FT0},
    {Value, "40.总齿磁压降F0=", &S::F0},
    {Value, "41.满载磁化电流IM=", &S::IM},
    {Value, "42.满载磁化电流标么值IM1=", &S::IM1},
    {Value, "43.励磁电抗标么值XM1=", &S::XM1},
    {Heading, "三)参数计算"},
    {Value, "44.1 SIN ALFA=", &S::SIN_ALFA},
    {Value, "44.2 TY=", &S::TY},
    {Value, "44.3 LBX=", &S::LBX},
    {Value, "44.4 LZ=", &S::LZ},
    {Value, "44.5 CS=", &S::CS},
    {Value, "45.轴向投影长FD=", &S::FD},
    {Heading, "46.略"},
    {Value, "47.漏抗系数Cx=", &S::Cx},
    {Value, "48.1.KU1=", &S::KU1},
    {Value, "48.2.KL1=", &S::KL1},
    {Value, "48.3.SPU1=", &S::SPU1},
    {Value, "48.4.SPL1=", &S::SPL1},
    {Value, "48.5.SP1=", &S::SP1},
    {Coefficient, "49.1.定子槽漏抗XS11=", &S::XS11_C},
    {Value, "49.2.定子槽漏抗XS11=", &S::XS11},
    {Value, "50.1.定子谐波漏抗 SGMS=", &S::SGMS},
    {Coefficient, "50.2.定子谐波漏抗XD11=", &S::XD11_C},
    {Value, "50.3.定子谐波漏抗XD11=", &S::XD11},
    {Coefficient, "51.1.定子端部漏抗XE11=", &S::XE11_C},
    {Value, "51.2.定子端部漏抗XE11=", &S::XE11},
    {Value, "51.定子漏抗X11=", &S::X11},
    {Value, "52.1.KU2=", &S::KU2},
    {Value, "52.2.KL2=", &S::KL2},
    {Value, "53.3.SPU2=", &S::SPU2},
    {Value, "53.4.SPL2=", &S::SPL2},
    {Value, "53.5.SP2=", &S::SP2},
    {Coefficient, "54.1.转子槽漏抗XS21=", &S::XS21_C},
    {Value, "54.2.转子槽漏抗XS21=", &S::XS21},
    {Value, "55.1.转子谐波漏抗 SGMR=", &S::SGMR},
    {Coefficient, "55.2.转子谐波漏抗XD21=", &S::XD21_C},
    {Value, "55.3.转子谐波漏抗XD21=", &S::XD21},
    {Coefficient, "56.1.转子端部漏抗XE21=", &S::XE21_C},
    {Value, "56.2.转子端部漏抗XE21=", &S::XE21},
    {Coefficient, "57.1.转子斜槽漏抗XSK1=", &S::XSK1_C},
    {Value, "57.2.转子斜槽漏抗XSK1=", &S::XSK1},
    {Value, "58.转子漏抗X21=", &S::X21},
    {Value, "59.总漏抗X1=", &S::X1},
    {Value, "60.定子相电阻R1=", &S::R1},
    {Value, "61.定子相电阻标么值R11=", &S::R11},
    {Heading, "62.略"},
    {Value, "63.1.转子导条长度LB=", &S::LB},
    {Value, "63.2.转子导条面积SB=", &S::SB},
    {Value, "63.3.转子导条电阻RB=", &S::RB},
    {Value, "63.4.转子导条电阻标么值RB1=", &S::RB1},
    {Value, "63.5.转子端环电阻RR=", &S::RR},
    {Value, "63.6.转子端环电阻标么值RR1=", &S::RR1},
    {Value, "63.7.转子电阻标么值R21=", &S::R21},
    {Value, "64.1.满载电流有功部分IP1=", &S::IP1},
    {Value, "64.2.效率初值EFF0=", &S::EFF0},
    {Value, "65.1.满载电抗电流IX1=", &S::IX1},
    {Value, "65.1.满载电抗电流参数Km=", &S::Km},
    {Value, "66.满载电流无功部分IR1=", &S::IR1},
    {Value, "67.1.满载电动势系数KE=", &S::KE},
    {Value, "67.2.满载电动势系数KE0=", &S::KE0},
    {Value, "68.空载电动势系数KEK0=", &S::KEK0},
    {Value, "69.空载定子齿磁密BT10=", &S::BT10},
    {Value, "70.空载转子齿磁密BT20=", &S::BT20},
    {Value, "71.空载定子轭磁密BJ10=", &S::BJ10},
    {Value, "72.空载转子轭磁密BJ20=", &S::BJ20},
    {Value, "73.空气隙磁密BG0=", &S::BG0},
    {Value, "74.1.空载定子齿磁场强度HT10=", &S::HT10},
    {Value, "74.2.空载定子齿磁压降Ft10=", &S::Ft10},
    {Value, "75.1.空载转子齿磁场强度HT20=", &S::HT20},
    {Value, "75.2.空载转子齿磁压降Ft20=", &S::Ft20},
    {Value, "76.1.空载定子轭磁场强度HJ10=", &S::HJ10},
    {Value, "76.2.空载定子轭校正系数CJ1=", &S::CJ10},
    {Value, "76.3.空载定子轭磁压降Fj10=", &S::Fj10},
    {Value, "77.1.空载转子轭磁场强度HJ20=", &S::HJ20},
    {Value, "77.2.空载转子轭校正系数CJ2=", &S::CJ20},
    {Value, "77.3.空载转子轭磁压降Fj20=", &S::Fj20},
    {Value, "78.空载气隙磁压降FG0=", &S::FG0},
    {Value, "79.空载总磁压降F0=", &S::F00},
    {Value, "80.空载励磁电流IM0=", &S::IM0},
    {Heading, "四)性能计算"},
    {Value, "81.1.定子电流I11=", &S::I11},
    {Value, "81.2.定子电流I1=", &S::I1},
    {Value, "82.定子电流密度J1=", &S::J1},
    {Value, "83.线负荷A1=", &S::A1},
    {Value, "84.1.转子电流 导条电流I21=", &S::I21},
    {Value, "84.2.转子电流I2=", &S::I2},
    {Value, "84.3.转子电流 端环电流IR=", &S::IR},
    {Value, "85.1.转子电流密度 导条电密JB=", &S::JB},
    {Value, "85.1.转子电流密度 端环电密JR=", &S::JR},
    {Value, "86.1.定子铜耗PCU11=", &S::PCU11},
    {Value, "86.2.定子铜耗PCU1=", &S::PCU1},
    {Value, "87.1.转子铜耗PCU21=", &S::PCU21},
    {Value, "87.2.转子铜耗PCU2=", &S::PCU2},
    {Value, "88.1.杂耗PS=", In(field::PS)},
    {Value, "88.2.杂耗PS=", &S::PSW},
    {Value, "89.1.机械耗PFW=", In(field::PFW)},
    {Value, "89.2.机械耗PFW=", &S::PFWW},
    {Value, "90.1.铁耗 定子齿重量GT1=", &S::GT1},
    {Value, "90.2.铁耗 定子轭重量GJ1=", &S::GJ1},
    {Value, "90.3.铁耗 定子齿单位铁耗pt1=", &S::pt1},
    {Value, "90.4.铁耗 定子轭单位铁耗pj1=", &S::pj1},
    {Value, "90.5.铁耗 定子齿损耗Pt1=", &S::Pt1},
    {Value, "90.6.铁耗 定子轭损耗Pj1=", &S::Pj1},
    {Value, "90.7.铁耗 总铁耗PFE=", &S::PFE},
    {Value, "90.8.铁耗 总铁耗PFE1=", &S::PFE1},
    {Value, "91.总损耗P1=", &S::P1},
    {Value, "92.输入功率P11=", &S::P11},
    {Value, "93.效率EFF=", &S::EFF},
    {Value, "93.效率初值EFF0=", &S::EFF0},
    {Value, "94.功率因数PF=", &S::PF},
    {Value, "95.1.旋转铁耗PXZFE1=", &S::PXZFE1},
    {Value, "95.2.定子齿损耗Pt11=", &S::Pt11},
    {Value, "95.3.转子齿损耗PJ11=", &S::PJ11},
    {Value, "95.4.转差率SN=", &S::SN},
    {Value, "96.转速N=", &S::N},
    {Value, "97.最大转矩倍数TMAX1=", &S::TMAX1},
    {Heading, "五)起动能计算"},
    {Value, "98.启动电流开始假定值IST1=", &S::IST1},
    {Value, "99.1.Fst=", &S::Fst},
    {Value, "99.2.BTAC=", &S::BTAC},
    {Value, "99.3.BL=", &S::BL},
    {Value, "99.4.KZ=", &S::KZ},
    {Value, "100.齿顶漏磁饱和引起定子齿顶宽度的减少Cs1=", &S::Cs1},
    {Value, "101.齿顶漏磁饱和引起转子齿顶宽度的减少Cs2=", &S::Cs2},
    {Value, "102.1.DELTSPU1=", &S::DELTSPU1},
    {Value, "102.2.SP1ST=", &S::SP1ST},
    {Coefficient, "103.1.XS1ST1=", &S::XS1ST1_C},
    {Value, "103.2.XS1ST1=", &S::XS1ST1},
    {Coefficient, "104.1.XD1ST1=", &S::XD1ST1_C},
    {Value, "104.2.XD1ST1=", &S::XD1ST1},
    {Value, "105.X1ST1=", &S::X1ST1},
    {Value, "106.导条相对高度KSAI=", &S::KSAI},
    {Value, "106.1.BAta=", &S::BAta},
    {Value, "106.2.BAtb=", &S::BAtb},
    {Value, "106.3.ba=", &S::ba},
    {Value, "106.4.bbb=", &S::bbb},
    {Value, "106.5.EPSa=", &S::EPSa},
    {Value, "106.6.EPSb=", &S::EPSb},
    {Value, "107.1.挤流效应系数rr0=", &S::rr0},
    {Value, "107.2.挤流效应系数xx0=", &S::xx0},
    {Value, "108.1.DELTSPU2=", &S::DELTSPU2},
    {Value, "108.2.SPU2ST=", &S::SPU2ST},
    {Value, "108.3.SPL2ST=", &S::SPL2ST},
    {Value, "108.4.SP2ST=", &S::SP2ST},
    {Coefficient, "109.1.XS2ST1=", &S::XS2ST1_C},
    {Value, "109.2.XS2ST1=", &S::XS2ST1},
    {Coefficient, "110.1.XD2ST1=", &S::XD2ST1_C},
    {Value, "110.2.XD2ST1=", &S::XD2ST1},
    {Coefficient, "111.1.XSKST1=", &S::XSKST1_C},
    {Value, "111.2.XSKST1=", &S::XSKST1},
    {Value, "112.2.X2ST1=", &S::X2ST1},
    {Value, "113.XST1=", &S::XST1},
    {Value, "114.R2ST1=", &S::R2ST1},
    {Value, "115.RST1=", &S::RST1},
    {Value, "116.ZST1=", &S::ZST1},
    {Value, "117.1.起动电流IST=", &S::IST},
    {Value, "117.2.起动电流初始值IST0=", &S::IST1},
    {Value, "117.1.起动电流倍数IST=", &S::Ist},
    {Value, "118.起动转矩倍数TST1=", &S::TST1},
};

void WriteHeader(ReportWriter& w, const ReportSources& s) {
  w.Spc(8).Literal("电机型号：").Pattern(InputValue(s.input, field::TYPE), "###############");
  w.EndLine().EndLine();
  w.Spc(8).Literal("_初始数据_").EndLine().EndLine();
}

void WriteInputBlock(ReportWriter& w, const ReportSources& s) {
  for (const auto& line : kInputBlock) {
    for (const InputGroup& group : line) {
      if (group.label.empty()) break;
      if (&group == &line[0]) {
        w.Spc(group.column);
      } else {
        w.Tab(group.column);
      }
      w.Literal(group.label).Pattern(InputValue(s.input, group.field), group.pattern);
    }
    w.EndLine();
  }
}

void WriteListRow(ReportWriter& w, const ListRow& row, const ReportSources& s) {
  w.Literal(row.label);
  if (row.form != Heading) w.Plain(row.value.Get(s));
  if (row.form == Pair) w.Literal(row.label2).Plain(row.value2.Get(s));
  if (row.form == Coefficient) w.Literal("Cx");
  w.EndLine();
}

}  // namespace

std::string CalculationListReport(const design::DesignInput& input,
                                  const calc::CalculationState& state) {
  ReportSources sources{input, state};
  ReportWriter w;
  WriteHeader(w, sources);
  WriteInputBlock(w, sources);
  w.EndLine().EndLine();
  w.Spc(8).Literal("===============计算清单==================").EndLine();
  w.EndLine();
  for (const ListRow& row : kListRows) WriteListRow(w, row, sources);
  return w.Text();
}

}  // namespace velmora::report
