// Every text the reports write, as the bytes they are written with.
//
// The Japanese headings are Shift_JIS (code page 932) bytes; a spreadsheet
// opened on a Japanese system shows them as the text in the comment above
// each. Formats use the printf conversions of report/format.h. A hex escape
// takes every hex digit after it, so literals are split where an ASCII hex
// digit follows one.
#ifndef LUMAVEIL_REPORT_LITERALS_H
#define LUMAVEIL_REPORT_LITERALS_H

namespace lumaveil::literals {

// wavelength q (trajectory of the central bundle)
// "波長%d（中心光束の軌跡）\n"
inline constexpr char kCentralBundleHeading[] =
    "\x94\x67\x92\xB7%d\x81\x69\x92\x86\x90\x53\x8C\xF5\x91\xA9\x82\xCC\x8B\x4F\x90\xD5\x81\x6A\n";

// wavelength q (spot diagram), then the point count
// "\n波長%d（スポットダイアグラム）\t\t\t%d\n"
inline constexpr char kSpotDiagramHeading[] =
    "\n\x94\x67\x92\xB7%d\x81\x69\x83\x58\x83\x7C\x83\x62\x83\x67\x83\x5F\x83\x43\x83\x41\x83\x4F\x83\x89\x83\x80\x81\x6A\t\t\t%d\n";

// mode 2: result of the curvature optimisation
// "N次元Gauss-Newton法によるレンズ曲率(1/R)最適化計算結果\n"
inline constexpr char kCurvatureHeading[] =
    "N\x8E\x9F\x8C\xB3Gauss-Newton\x96\x40\x82\xC9\x82\xE6\x82\xE9\x83\x8C\x83\x93\x83\x59\x8B\xC8\x97\xA6(1/R)\x8D\xC5\x93\x4B\x89\xBB\x8C\x76\x8E\x5A\x8C\x8B\x89\xCA\n";

// mode 3: result of the axial-distance optimisation
// "N次元Gauss-Newton法によるレンズ間隔(D)最適化計算結果\n"
inline constexpr char kDistanceHeading[] =
    "N\x8E\x9F\x8C\xB3Gauss-Newton\x96\x40\x82\xC9\x82\xE6\x82\xE9\x83\x8C\x83\x93\x83\x59\x8A\xD4\x8A\x75(D)\x8D\xC5\x93\x4B\x89\xBB\x8C\x76\x8E\x5A\x8C\x8B\x89\xCA\n";

// mode 5: curvatures plus one axial distance
// "N次元Gauss-Newton法によるレンズ曲率(1/R)+1軸間距離最適化計算結果\n"
inline constexpr char kCurvatureOneDistanceHeading[] =
    "N\x8E\x9F\x8C\xB3Gauss-Newton\x96\x40\x82\xC9\x82\xE6\x82\xE9\x83\x8C\x83\x93\x83\x59\x8B\xC8\x97\xA6(1/R)+1\x8E\xB2\x8A\xD4\x8B\x97\x97\xA3\x8D\xC5\x93\x4B\x89\xBB\x8C\x76\x8E\x5A\x8C\x8B\x89\xCA\n";

// mode 6: curvatures plus two axial distances
// "N次元Gauss-Newton法によるレンズ曲率(1/R)+2軸間距離最適化計算結果\n"
inline constexpr char kCurvatureTwoDistancesHeading[] =
    "N\x8E\x9F\x8C\xB3Gauss-Newton\x96\x40\x82\xC9\x82\xE6\x82\xE9\x83\x8C\x83\x93\x83\x59\x8B\xC8\x97\xA6(1/R)+2\x8E\xB2\x8A\xD4\x8B\x97\x97\xA3\x8D\xC5\x93\x4B\x89\xBB\x8C\x76\x8E\x5A\x8C\x8B\x89\xCA\n";

// wavelength in nm (mode 4)
// "波長%E(nm)\n"
inline constexpr char kWavelengthLine[] =
    "\x94\x67\x92\xB7%E(nm)\n";

// coefficient of order p (mode 4)
// "%d次\t%E\n"
inline constexpr char kCoefficientLine[] =
    "%d\x8E\x9F\t%E\n";

// surface trace table: columns
inline constexpr char kTraceTableColumns[] = "i\t1/R(i)\tZ(i)\tX(i)\tU(i)\tY(i)\tV(i)\n";
// surface trace table: one surface
inline constexpr char kTraceTableRow[] = "%d\t%f\t%f\t%f\t%f\t%f\t%f\n";
// spot diagram: columns
inline constexpr char kSpotColumns[] = "No\tU(i)\tV(i)\tX(i)\tY(i)\n";
// spot diagram: one point
inline constexpr char kSpotRow[] = "%d\t%10.6f\t%10.6f\t%10.6f\t%10.6f\n";
// end of a mode-1 wavelength block
inline constexpr char kBlockEnd[] = "\n\n\n";
// modes 2, 3: columns before the variables
inline constexpr char kMeritColumns[] = "No\tE\tXa\tXs\tYa\tYs\t";
// mode 5: columns before the variables
inline constexpr char kMeritOneDistanceColumns[] = "No\tD1\tE\tXa\tXs\tYa\tYs\t";
// mode 6: columns before the variables
inline constexpr char kMeritTwoDistancesColumns[] = "No\tD1\tD2\tE\tXa\tXs\tYa\tYs\t";
// column of variable v (curvature)
inline constexpr char kCurvatureColumn[] = "1/R(%d)\t";
// column of variable v (axial distance)
inline constexpr char kDistanceColumn[] = "D(%d)\t";
// modes 2, 3: iteration and merit figures
inline constexpr char kMeritRow[] = "%d\t%E\t%E\t%E\t%E\t%E\t";
// mode 5: pass, distance and merit figures
inline constexpr char kMeritOneDistanceRow[] = "%d\t%E\t%E\t%E\t%E\t%E\t%E\t";
// mode 6: pass, distances and merit figures
inline constexpr char kMeritTwoDistancesRow[] = "%d\t%E\t%E\t%E\t%E\t%E\t%E\t%E\t";
// value of a variable curvature
inline constexpr char kCurvatureValue[] = "%G\t";
// value of a variable axial distance
inline constexpr char kDistanceValue[] = "%E\t";
// end of a line
inline constexpr char kLineEnd[] = "\n";
// mode 4: columns of the U scan
inline constexpr char kUScanColumns[] = "U[0]\tX[NUMB-1]\tU[NUMB-1]\tAB\n";
// mode 4: columns of the V scan
inline constexpr char kVScanColumns[] = "V[0]\tY[NUMB-1]\tV[NUMB-1]\tAB\n";
// mode 4: one scan ray
inline constexpr char kScanRow[] = "%E\t%E\t%E\t%E\n";
// mode 4: end of a scan
inline constexpr char kScanEnd[] = "\n\n";

}  // namespace lumaveil::literals

#endif
