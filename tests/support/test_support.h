// Shared test helpers: scratch directories, input files built from a few lines of C++.
#ifndef LUMAVEIL_TESTS_TEST_SUPPORT_H
#define LUMAVEIL_TESTS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumaveil::testing {

// A fresh directory that becomes the current directory for the life of the
// object; the old current directory comes back and the folder is removed.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_, previous_;
};

void write_file(const std::string& name, const std::string& bytes);
std::string read_file(const std::string& name);
bool file_exists(const std::string& name);
// The lines of a text, without their line feeds.
std::vector<std::string> split_lines(const std::string& text);
// The tab-separated cells of a line.
std::vector<std::string> split_cells(const std::string& line);
// The folder of test data (tests/data).
std::string test_data_dir();
// Empty when the texts are equal; else the number of the first line that
// differs and that line of each text.
std::string first_difference(const std::string& want, const std::string& got);

// A report with every nan or inf lower-cased, its sign kept and any
// "(payload)" dropped: how independent implementations may differ in
// spelling values that are not finite.
std::string normalise_non_finite(const std::string& text);

// One surface row of a lens data file.
struct Surface {
  double C = 0, D = 0;  // curvature 1/R, distance to the next surface
  int type = 0;         // 1 ideal element, 2 tilted plane, else sphere
  double Xd = 0, Yd = 0;
  std::string code{};       // "V", "P", "M" or empty
  int link = 0;
  std::vector<double> n{};  // index after the surface, per wavelength
};

// Builds the text of "IN_FM.txt" from surfaces 0..NUMB.
struct LensFile {
  int aperture_kind = 1, steps = 1;
  double RH = 0, RU = 0, U = 0, V = 0, X = 0, Y = 0;
  std::vector<double> wavelengths{587.6}, weights{1.0};
  std::vector<Surface> surfaces;
  int numb = -1000, nw = -1000;  // NUMB, NW written; -1000: surfaces.size() - 1, wavelengths.size()
  int nd1 = 0, nd2 = 0;
  std::string text() const;
  void write() const;  // to "IN_FM.txt" in the current directory
};

// A singlet behind which the rim of a spot grid or scan misses a small
// sphere (some rows hold not-a-number values), the central ray off the axis
// in angle and height; two wavelengths, `steps` grid steps of aperture kind
// `aperture_kind` (RH = 9, RU = 0.4).
LensFile small_sphere_behind_a_singlet(int aperture_kind, int steps);

// A plano-convex singlet with a variable front face, as a new user writes
// it: R = 1/0.019 of index 1.5168, 4 thick, the image plane 97 behind it;
// RH = 5, three grid steps, the distances of surfaces 2 and 1 searched.
LensFile good_lens();

// One ray of the ray set: start and targets at the last surface.
struct Ray {
  double X = 0, Y = 0, U = 0, V = 0, XT = 0, YT = 0, UT = 0, VT = 0;
};

// Builds the text of "IN_FM2.txt".
struct RaySetFile {
  int NIT = 5;
  double H = 1e-5, WXY = 1.0, WUV = 0.0;
  int NITC = 3, NITD = 2;
  double HD = 1.0;
  std::vector<Ray> rays;
  int nray = -1000;  // NRAY written; -1000: rays.size()
  std::string text() const;
  void write() const;  // to "IN_FM2.txt" in the current directory
};

// Three rays in the meridian plane, 1, -1 and 3 from the axis, aimed at the
// axis point of the last surface: a ray set for good_lens().
inline const RaySetFile good_rays{.rays = {{.X = 1}, {.X = -1}, {.X = 3}}};

// One run of the host program: its exit status (-1 when it did not exit)
// and what it wrote to standard output and standard error.
struct HostRun {
  int status = 0;
  std::string out, err;
};
// Runs `host` with `arguments` (shell words) in the current directory.
HostRun run_host(const std::string& host, const std::string& arguments);
// Runs `host` with the command `command` and the arguments, each one word
// as it stands (single-quoted: no argument may hold a single quote).
HostRun run_host(const std::string& host, const std::string& command,
                 const std::vector<std::string>& arguments);

// Whether the environment asks that a test which needs a tool of the
// machine (a locale, Chromium, libxlsxwriter) run: `variable` set, and not
// to "0" (CI sets them). Such a test then fails where it would skip.
bool required(const char* variable);

// Passes when |got − want| ≤ tolerance·|want|: a tolerance relative to the
// expected value. The failure message shows both values and the tolerance.
::testing::AssertionResult relatively_near(double got, double want, double tolerance);

// A number printed with 17 significant digits, so that it reads back exactly.
std::string exact(double v);

}  // namespace lumaveil::testing

#endif
