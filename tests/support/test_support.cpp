#include "support/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace lumaveil::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) throw std::runtime_error("getcwd");
  previous_ = buffer;
  path_ = (fs::temp_directory_path() / "lumaveil-XXXXXX").string();
  if (mkdtemp(path_.data()) == nullptr) throw std::runtime_error("mkdtemp");
  if (chdir(path_.c_str()) != 0) throw std::runtime_error("chdir");
}

ScratchDir::~ScratchDir() {
  if (chdir(previous_.c_str()) != 0) return;
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

void write_file(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

std::string read_file(const std::string& name) {
  std::ostringstream all;
  all << std::ifstream(name, std::ios::binary).rdbuf();
  return all.str();
}

bool file_exists(const std::string& name) { return fs::exists(name); }

namespace {

// The pieces of a text between separators, the empty piece after a final one included.
std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
    end = text.find(separator, start);
    pieces.push_back(text.substr(start, end - start));  // to the end of the text if npos
  }
  return pieces;
}

// Each number after a tab, to 17 digits.
std::string tabbed(const std::vector<double>& numbers) {
  std::string cells;
  for (double v : numbers) cells += '\t' + exact(v);
  return cells;
}

}  // namespace

std::vector<std::string> split_lines(const std::string& text) {
  if (text.empty()) return {};
  auto lines = split(text, '\n');
  if (text.back() == '\n') lines.pop_back();
  return lines;
}

std::vector<std::string> split_cells(const std::string& line) { return split(line, '\t'); }

std::string test_data_dir() {
  const char* dir = std::getenv("LUMAVEIL_TEST_DATA");
  return dir != nullptr ? dir : LUMAVEIL_TEST_DATA_DIR;
}

std::string first_difference(const std::string& want, const std::string& got) {
  if (want == got) return "";
  const auto w = split_lines(want), g = split_lines(got);
  std::size_t i = 0;
  while (i < w.size() && i < g.size() && w[i] == g[i]) ++i;
  if (i == w.size() && i == g.size()) return "the texts differ only in their last line feed";
  return "first difference at line " + std::to_string(i + 1) + "\n want: " +
         (i < w.size() ? w[i] : "<none>") + "\n  got: " + (i < g.size() ? g[i] : "<none>");
}

::testing::AssertionResult relatively_near(double got, double want, double tolerance) {
  if (std::fabs(got - want) <= tolerance * std::fabs(want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << exact(got) << ", want " << exact(want)
                                       << " within " << tolerance << " of it";
}

std::string exact(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

std::string LensFile::text() const {
  std::ostringstream out;
  out << "lens data\n\n\taperture kind\t" << aperture_kind << "\n\tsteps\t" << steps << '\n';
  for (auto [name, v] : {std::pair{"RH", RH}, {"RU", RU}, {"U", U}, {"V", V}, {"X", X}, {"Y", Y}})
    out << '\t' << name << '\t' << exact(v) << '\n';
  out << "\n\nNUMB\t" << (numb == -1000 ? int(surfaces.size()) - 1 : numb) << "\nNW\t"
      << (nw == -1000 ? int(wavelengths.size()) : nw) << "\tND\t" << nd1 << '\t' << nd2
      << "\nk\ttype\tC\tD\tXd\tYd\tcode\tlink\n\t\t\t\t\t\t\twavelength" << tabbed(wavelengths)
      << "\n\t\t\t\t\t\t\tweight" << tabbed(weights) << '\n';
  for (std::size_t k = 0; const Surface& s : surfaces)
    out << k++ << '\t' << s.type << tabbed({s.C, s.D, s.Xd, s.Yd}) << '\t' << s.code << '\t'
        << s.link << tabbed(s.n) << '\n';
  return out.str();
}

bool required(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0' && std::string(value) != "0";
}

HostRun run_host(const std::string& host, const std::string& arguments) {
  const std::string command = "\"" + host + "\" " + arguments + " >host-out.txt 2>host-err.txt";
  const int raw = std::system(command.c_str());
  HostRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = read_file("host-out.txt");
  run.err = read_file("host-err.txt");
  std::remove("host-out.txt");
  std::remove("host-err.txt");
  return run;
}

HostRun run_host(const std::string& host, const std::string& command,
                 const std::vector<std::string>& arguments) {
  std::string words = command;
  for (const std::string& a : arguments) words += " '" + a + "'";
  return run_host(host, words);
}

void LensFile::write() const { write_file("IN_FM.txt", text()); }

std::string RaySetFile::text() const {
  std::ostringstream out;
  out << "ray set\n\n\tNIT\t" << NIT << "\n\tH\t" << exact(H) << "\n\tNRAY\t"
      << (nray == -1000 ? int(rays.size()) : nray) << "\n\tWXY\t" << exact(WXY) << "\n\tWUV\t"
      << exact(WUV) << "\n\tNITC\t" << NITC << "\n\tNITD\t" << NITD << "\n\tHD\t" << exact(HD)
      << "\n\n\n\n\nNo\tX\tY\tU\tV\tXT\tYT\tUT\tVT\n";
  for (std::size_t r = 0; const Ray& y : rays)
    out << r++ << tabbed({y.X, y.Y, y.U, y.V, y.XT, y.YT, y.UT, y.VT}) << '\n';
  return out.str();
}

void RaySetFile::write() const { write_file("IN_FM2.txt", text()); }

LensFile small_sphere_behind_a_singlet(int aperture_kind, int steps) {
  return LensFile{.aperture_kind = aperture_kind, .steps = steps, .RH = 9, .RU = 0.4,
                  .U = 0.01, .V = -0.02, .X = 0.5, .Y = -0.25,
                  .wavelengths = {486.1, 656.3}, .weights = {1, 1},
                  .surfaces = {{.D = 10, .n = {1, 1}},
                               {.C = 0.04, .D = 4, .n = {1.52, 1.51}},
                               {.C = -0.01, .D = 20, .n = {1, 1}},
                               {.C = 0.3, .D = 3, .n = {1.6, 1.6}},
                               {.D = 5, .n = {1, 1}},
                               {.n = {1, 1}}}};
}

LensFile good_lens() {
  return {.steps = 3,
          .RH = 5,
          .surfaces = {{.D = 10, .n = {1}},
                       {.C = 0.019, .D = 4, .code = "V", .n = {1.5168}},
                       {.D = 97, .n = {1}},
                       {.n = {1}},
                       {.n = {1}}},
          .nd1 = 2,
          .nd2 = 1};
}

// Every nan or inf lower-cased, its sign kept and any "(payload)" dropped.
std::string normalise_non_finite(const std::string& text) {
  static const std::regex nan_or_inf(R"((-?)(nan|NAN|NaN|inf|INF|Inf)(\([^)]*\))?)");
  std::string out;
  std::size_t last = 0;
  for (std::sregex_iterator it(text.begin(), text.end(), nan_or_inf), end; it != end; ++it) {
    const bool nan = std::tolower((*it)[2].str()[0]) == 'n';
    out.append(text, last, it->position() - last) += (*it)[1].str() + (nan ? "nan" : "inf");
    last = it->position() + it->length();
  }
  return out.append(text, last);
}

}  // namespace lumaveil::testing
