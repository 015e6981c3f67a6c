// Lumaveil: the one entry point of the lens-design library.
//
// main5(mode) reads the optical system from "IN_FM.txt" in the current
// directory (and, for modes 2, 3, 5 and 6, the settings and ray set from
// "IN_FM2.txt"), runs one calculation and writes the report "OUT_M.xls":
//   1  central-bundle trajectory and spot diagram
//   2  Gauss-Newton optimisation of the variable curvatures
//   3  Gauss-Newton optimisation of the variable axial distances
//   4  wavefront-aberration scans with degree-6 polynomial fits
//   5  curvature optimisation with a Newton search over one axial distance
//   6  the same over two axial distances
// Any other mode reads the lens data and writes nothing. The library keeps
// one state block for the life of the process, so calls never overlap: a
// call made while another runs, from any thread, waits for it to return.
// The report is written under a temporary name and renamed to OUT_M.xls
// when whole: a call that is killed or cannot write leaves no OUT_M.xls.
#ifndef LUMAVEIL_MAIN5_H
#define LUMAVEIL_MAIN5_H

#if defined(_WIN32)
#  if defined(LUMAVEIL_BUILDING)
#    define LUMAVEIL_API __declspec(dllexport)
#  else
#    define LUMAVEIL_API __declspec(dllimport)
#  endif
#  if !defined(_WIN64)
#    define LUMAVEIL_CALL __stdcall
#  else
#    define LUMAVEIL_CALL
#  endif
#else
#  define LUMAVEIL_API __attribute__((visibility("default")))
#  define LUMAVEIL_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

LUMAVEIL_API void LUMAVEIL_CALL main5(int mode);

#ifdef __cplusplus
}
#endif

#endif
