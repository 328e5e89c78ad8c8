// What the thermal network of a totally enclosed fan-cooled motor needs
// beyond the 60 inputs: material properties, the coefficients of the heat
// transfer correlations, the frame and its fan, the ambient. Every number
// is in the one table below, with its source beside it; a thermal data file
// ("热参数.dat", one NAME=VALUE a line) overrides any of them by name.
#pragma once

#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "velmora/design/error.h"

namespace velmora::studies {

inline constexpr const char* kThermalFileName = "热参数.dat";

// Marks an entry not given, which the model estimates (each says how).
inline constexpr double kNotGiven = std::numeric_limits<double>::quiet_NaN();

// Units: temperatures °C, conductivities W/(m·K), lengths mm unless said.
struct ThermalData {
  // ---- Cooling air and conductors ----------------------------------------
  // The limits of temperature rise hold for cooling air up to 40 °C (IEC 60034-1).
  double AMBIENT = 40;
  // The temperature the design's Lo1 and Lo2 stand for: 0.0217 and 0.0434
  // Ω·mm²/m are the handbook resistivities of copper and cast aluminium at 75 °C.
  double T_REF = 75;
  // Temperature coefficients of resistance at 20 °C, 1/K: annealed copper
  // (IEC 60028, 1925); aluminium of conductor grade (IEC 60889, 1987).
  double ALPHA_CU = 0.00393;
  double ALPHA_AL = 0.00403;
  // Specific heats near 300 K, J/(kg·K) (Incropera & DeWitt 2002, Table A.1).
  double C_CU = 385;
  double C_AL = 903;

  // ---- Solids --------------------------------------------------------------
  // Electrical sheet steel of 1–3 % Si in its plane: 20–40 (Boglietti et al. 2009).
  double K_STEEL = 28;
  // The layer between sheets (coating and air) that fills the 1 − Kfe of the
  // stack; 0.05 makes a stack of Kfe 0.95 conduct about 1 W/(m·K) across,
  // the order measured on stacks (Boglietti et al. 2009).
  double K_INTERLAMINAR = 0.05;
  // Copper 401 at 300 K, pure aluminium 237 (Incropera & DeWitt 2002, Table
  // A.1); cast rotor aluminium a little lower.
  double K_CU = 401;
  double K_AL = 220;
  // Slot liner of polyester film and aramid or polyester fleece: 0.1–0.2;
  // enamel and impregnating resin: about 0.2 (Staton, Boglietti & Cavagnino 2005).
  double K_LINER = 0.15;
  double K_ENAMEL = 0.2;
  double K_VARNISH = 0.2;
  // Grey cast iron frame (an aluminium frame: 150–200); carbon steel shaft,
  // AISI 1042: 51 (Incropera & DeWitt 2002, Table A.1).
  double K_FRAME = 52;
  double K_SHAFT = 51;

  // ---- Air, taken at 330 K throughout (Incropera & DeWitt 2002, Table A.4) --
  double K_AIR = 0.0285;
  double NU_AIR = 18.9e-6;  // kinematic viscosity, m²/s
  double RHO_AIR = 1.06;    // kg/m³
  double CP_AIR = 1008;     // J/(kg·K)
  double PR_AIR = 0.703;

  // ---- Winding -------------------------------------------------------------
  // Share of the voids between the wires that the impregnation fills, the
  // rest being air: the "impregnation goodness" of Staton, Boglietti &
  // Cavagnino (2005); 1 is a perfectly filled winding. An assumption.
  double IMPREGNATION = 0.7;

  // ---- Contacts, as equivalent air gaps (Staton, Boglietti & Cavagnino 2005)
  // Stator core in the frame: 0.01–0.08 mm in small and medium industrial motors.
  double GAP_FRAME = 0.025;
  // Rotor core on the shaft (shrink fit): an assumption.
  double GAP_SHAFT = 0.01;
  // Across a bearing, between shaft and end shield: an assumption giving
  // about 1.5 K/W a bearing of 50 mm bore, 4 K/W of 30 mm.
  double GAP_BEARING = 0.3;
  // Bearing outside diameter and width over its bore, taken equal to the
  // rotor's inner diameter DI2: ball bearings of dimension series 02 (ISO 15).
  double BEARING_OD = 2;
  double BEARING_WIDTH = 0.45;

  // ---- Air gap: Becker & Kaye (1962), in the modified Taylor number Ta/Fg
  // Below TA_VORTEX the flow is laminar, Nu = GAP_NU0 (conduction across the
  // gap); up to TA_TURBULENT Nu = GAP_A1·Ta^GAP_E1; above, Nu = GAP_A2·Ta^GAP_E2
  // (Nu on the hydraulic diameter 2G).
  double TA_VORTEX = 1700;
  double TA_TURBULENT = 1e4;
  double GAP_NU0 = 2;
  double GAP_A1 = 0.128;
  double GAP_E1 = 0.367;
  double GAP_A2 = 0.409;
  double GAP_E2 = 0.241;

  // ---- End spaces: h = K1·(1 + K2·v^K3) W/(m²·K), v the air speed in m/s, the
  // form of the end-space correlations collected by Staton & Cavagnino (2008);
  // 15.5, 0.39, 1 as Mellor, Roberts & Turner (1991) took them from
  // Schubauer & Tchen (1959). EW_ for the end winding, EC_ for the end caps,
  // the frame inside the end spaces and the ends of the rotor.
  double EW_K1 = 15.5;
  double EW_K2 = 0.39;
  double EW_K3 = 1;
  double EC_K1 = 15.5;
  double EC_K2 = 0.39;
  double EC_K3 = 1;
  // Air speed in the end spaces over the rotor's peripheral speed (the
  // end rings' vanes stir it): an assumption.
  double END_AIR = 0.5;
  // Axial length of each end space (core end to end shield); not given: the
  // end winding's overhang D + FD plus END_CLEARANCE.
  double END_SPACE = kNotGiven;
  double END_CLEARANCE = 15;

  // ---- Frame and fan ---------------------------------------------------------
  // Not given: from the frame table by the centre height H (FrameOf).
  double FRAME_OD = kNotGiven;       // outside diameter over the fins
  double FRAME_WALL = kNotGiven;     // frame wall under the fins, radial
  double FIN_THICKNESS = kNotGiven;  // mean thickness of a fin
  double FIN_COUNT = kNotGiven;      // over the full circumference
  // Share of the circumference the fins and the fan's air cover (the feet
  // and the terminal box take the rest): an assumption.
  double FIN_COVER = 0.9;
  // Fan outside diameter over the fins' tip diameter, and the mean air speed
  // along the fin channels over the fan's tip speed (a radial-bladed fan
  // under a cowl; the speed falls along the frame): assumptions.
  double FAN_DIAMETER = 0.9;
  double FAN_AIR = 0.5;
  // Forced convection in the open fin channels: Heiles (1952) as given by
  // Staton & Cavagnino (2008), h = ρ·cp·Dh·v/(4·Lf)·(1 − e^−m),
  // m = HEILES_C·Lf^HEILES_EL/Dh^HEILES_ED·(k/(ρ·cp·v))^HEILES_EV, SI units.
  double HEILES_C = 0.1448;
  double HEILES_EL = 0.946;
  double HEILES_ED = 1.16;
  double HEILES_EV = 0.214;
  // Natural convection from the frame as a horizontal cylinder over the fin
  // tips: Churchill & Chu (1975), Nu = (CC_A + CC_B·Ra^(1/6)/(1 +
  // (CC_C/Pr)^(9/16))^(8/27))².
  double CC_A = 0.60;
  double CC_B = 0.387;
  double CC_C = 0.559;
  // Radiation from the painted frame over its envelope: emissivity 0.9 of
  // paint (Incropera & DeWitt 2002, Table A.11).
  double EMISSIVITY = 0.9;

  // ---- Heat sources --------------------------------------------------------
  // Share of the stray loss PS in the stator teeth (tooth-tip surface and
  // pulsation losses); the rest goes to the rotor (cage harmonic currents).
  // No general split is published; even shares are assumed.
  double STRAY_STATOR = 0.5;
  // Share of the mechanical loss PFW in the bearings; the rest is the fan's
  // and its air's, put on the frame the air flows over. An assumption.
  double BEARING_LOSS = 0.3;

  // ---- Locked rotor -----------------------------------------------------------
  // Temperatures the stator winding and the cage may reach at standstill;
  // not given: the class temperature (130, 155, 180 °C), which is severe for
  // a cage, whose aluminium stands far more.
  double STALL_STATOR = kNotGiven;
  double STALL_CAGE = kNotGiven;

  // ---- Iteration -------------------------------------------------------------
  // Frame rise at which free convection and radiation are taken on the
  // first pass (the only pass without the iteration).
  double FRAME_RISE_START = 40;
};

// One entry of the table by its name in the data file, with the range it
// accepts.
struct ThermalDataEntry {
  std::string_view name;
  double ThermalData::*member;
  double min, max;
};
std::span<const ThermalDataEntry> ThermalDataTable();

// Frame dimensions of a centre height (mm, and a count of fins); the fins
// are FRAME_OD/2 − D1/2 − FRAME_WALL high.
struct FrameSize {
  double FRAME_OD = 0, FRAME_WALL = 0, FIN_THICKNESS = 0, FIN_COUNT = 0;
};
// The frame of a design of centre height H: each dimension given in `data`,
// or from the frame table by H, interpolated between its rows.
FrameSize FrameOf(double H, const ThermalData& data);

// A thermal data file that cannot be used; the message names the file and
// the line. Code BadForm for a line or value, UnknownInput for a name that
// is not in the table, FileFailed for a file that cannot be read.
class ThermalDataError : public Error {
 public:
  using Error::Error;
};

// Reads NAME=VALUE lines from the GBK text of `path` (named in messages)
// over `base`: blank lines and "#" comments are skipped, each name once,
// each value a number within its entry's range. Throws ThermalDataError.
ThermalData ParseThermalData(std::string_view gbk_text, const std::string& path,
                             ThermalData base = {});
// Reads `path`; throws ThermalDataError.
ThermalData ReadThermalData(const std::string& path);
// The file "热参数.dat" in `folder`, or the table's defaults when there is
// no such file; a file that is there but cannot be read is an error.
// `file` becomes the path read, or empty.
ThermalData ReadThermalDataOrDefault(const std::string& folder, std::string& file);

}  // namespace velmora::studies
