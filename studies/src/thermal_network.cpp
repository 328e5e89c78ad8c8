// The linear thermal network: its matrix and its solution.
#include <cmath>

#include "velmora/studies/thermal.h"

namespace velmora::studies {

namespace {

using N = ThermalNode;

constexpr std::array<PathEnds, kThermalPaths> kEnds = {{
    {N::Frame, N::Ambient},
    {N::Yoke, N::Frame},
    {N::Yoke, N::Teeth},
    {N::SlotWinding, N::Teeth},
    {N::SlotWinding, N::Yoke},
    {N::SlotWinding, N::EndWinding},
    {N::EndWinding, N::InternalAir},
    {N::InternalAir, N::Frame},
    {N::Yoke, N::InternalAir},
    {N::Teeth, N::Rotor},
    {N::Rotor, N::InternalAir},
    {N::Rotor, N::Shaft},
    {N::Shaft, N::Frame},
}};

constexpr int Index(ThermalNode node) { return static_cast<int>(node); }
constexpr bool Free(ThermalNode node) { return node != N::Ambient; }

// Rise of a node, the ambient's being 0.
double RiseOf(const std::array<double, kThermalNodes>& rise, ThermalNode node) {
  return Free(node) ? rise[Index(node)] : 0.0;
}

// The lower triangle of `a` becomes L with L·Lᵀ = a; false when `a` is not
// positive definite.
bool Factorise(ConductanceMatrix& a) {
  for (int j = 0; j < kThermalNodes; ++j) {
    double pivot = a[j][j];
    for (int k = 0; k < j; ++k) pivot -= a[j][k] * a[j][k];
    if (!(pivot > 0)) return false;
    a[j][j] = std::sqrt(pivot);
    for (int i = j + 1; i < kThermalNodes; ++i) {
      double x = a[i][j];
      for (int k = 0; k < j; ++k) x -= a[i][k] * a[j][k];
      a[i][j] = x / a[j][j];
    }
  }
  return true;
}

// Solves L·Lᵀ·x = b in place.
void Substitute(const ConductanceMatrix& l, std::array<double, kThermalNodes>& x) {
  for (int i = 0; i < kThermalNodes; ++i) {
    for (int k = 0; k < i; ++k) x[i] -= l[i][k] * x[k];
    x[i] /= l[i][i];
  }
  for (int i = kThermalNodes - 1; i >= 0; --i) {
    for (int k = i + 1; k < kThermalNodes; ++k) x[i] -= l[k][i] * x[k];
    x[i] /= l[i][i];
  }
}

}  // namespace

PathEnds EndsOf(ThermalPath path) { return kEnds[static_cast<int>(path)]; }

ConductanceMatrix MatrixOf(const ThermalNetwork& network) {
  ConductanceMatrix g{};
  for (int p = 0; p < kThermalPaths; ++p) {
    auto [from, to] = kEnds[p];
    double G = network.G[p];
    if (Free(from)) g[Index(from)][Index(from)] += G;
    if (Free(to)) g[Index(to)][Index(to)] += G;
    if (Free(from) && Free(to)) {
      g[Index(from)][Index(to)] -= G;
      g[Index(to)][Index(from)] -= G;
    }
  }
  return g;
}

NetworkSolution SolveNetwork(const ThermalNetwork& network) {
  NetworkSolution solution;
  ConductanceMatrix l = MatrixOf(network);
  if (!Factorise(l)) return solution;
  solution.rise = network.loss;
  Substitute(l, solution.rise);
  for (int p = 0; p < kThermalPaths; ++p) {
    auto [from, to] = kEnds[p];
    solution.flow[p] = network.G[p] * (RiseOf(solution.rise, from) - RiseOf(solution.rise, to));
  }
  solution.solved = true;
  return solution;
}

}  // namespace velmora::studies
