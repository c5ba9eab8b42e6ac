#pragma once
// The four matrices of every group analysis, in the order they are read,
// printed, drawn and written: H (harmony), I = |H| (energy), D (time
// dynamics) and DA = |D|. Values kept per kind sit in a PerKind, indexed by
// the kind itself, so that no module numbers the kinds its own way.
#include <array>
#include <cstddef>

enum class MatrixKind { H, I, D, DA };

inline constexpr int kMatrixKindCount = 4;
inline constexpr std::array<MatrixKind, kMatrixKindCount> kMatrixKinds{
    MatrixKind::H, MatrixKind::I, MatrixKind::D, MatrixKind::DA};

// The kind's place in that order, 0..3.
constexpr int KindIndex(MatrixKind kind) { return static_cast<int>(kind); }

// The page a kind has where every kind gets a text and graphic page of
// its own (the planetary fluctuations, the line-sum charts): 1..4.
constexpr int KindPage(MatrixKind kind) { return KindIndex(kind) + 1; }

// The kind's short name on pages and in file names: "H", "I", "D", "DA".
constexpr const char* KindName(MatrixKind kind) {
  constexpr std::array<const char*, kMatrixKindCount> kNames{"H", "I", "D", "DA"};
  return kNames[static_cast<std::size_t>(KindIndex(kind))];
}

// Whether the kind is taken as an absolute value (I and DA).
constexpr bool KindIsAbsolute(MatrixKind kind) {
  return kind == MatrixKind::I || kind == MatrixKind::DA;
}

// One value per kind, in the kinds' order (a plain array underneath, so
// that the four values can be written as one run).
template <class T>
struct PerKind {
  T of[kMatrixKindCount];

  constexpr T& operator[](MatrixKind kind) { return of[KindIndex(kind)]; }
  constexpr const T& operator[](MatrixKind kind) const { return of[KindIndex(kind)]; }
  constexpr T* begin() { return of; }
  constexpr T* end() { return of + kMatrixKindCount; }
  constexpr const T* begin() const { return of; }
  constexpr const T* end() const { return of + kMatrixKindCount; }
};
