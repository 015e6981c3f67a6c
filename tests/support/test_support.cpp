#include "support/test_support.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lumaveil::testing {

ScratchDir::ScratchDir() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) throw std::runtime_error("getcwd");
  previous_ = buffer;
  std::string pattern = (std::filesystem::temp_directory_path() / "lumaveil-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
  path_ = pattern;
  if (chdir(path_.c_str()) != 0) throw std::runtime_error("chdir");
}

ScratchDir::~ScratchDir() {
  if (chdir(previous_.c_str()) != 0) return;
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void write_file(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary);
  out << bytes;
}

std::string read_file(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

bool file_exists(const std::string& name) { return std::filesystem::exists(name); }

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> split_cells(const std::string& line) {
  std::vector<std::string> cells;
  std::string::size_type start = 0;
  while (true) {
    auto end = line.find('\t', start);
    cells.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return cells;
}

std::string test_data_dir() {
  const char* dir = std::getenv("LUMAVEIL_TEST_DATA");
  return dir != nullptr ? dir : LUMAVEIL_TEST_DATA_DIR;
}

std::string exact(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

std::string LensFile::text() const {
  const int numb_written = numb == -1000 ? static_cast<int>(surfaces.size()) - 1 : numb;
  const int nw_written = nw == -1000 ? static_cast<int>(wavelengths.size()) : nw;
  std::ostringstream out;
  out << "lens data\n\n";
  out << "\taperture kind\t" << aperture_kind << "\n";
  out << "\tsteps\t" << steps << "\n";
  out << "\tRH\t" << exact(RH) << "\n";
  out << "\tRU\t" << exact(RU) << "\n";
  out << "\tU\t" << exact(U) << "\n";
  out << "\tV\t" << exact(V) << "\n";
  out << "\tX\t" << exact(X) << "\n";
  out << "\tY\t" << exact(Y) << "\n";
  out << "\n\n";
  out << "NUMB\t" << numb_written << "\n";
  out << "NW\t" << nw_written << "\tND\t" << nd1 << "\t" << nd2 << "\n";
  out << "k\ttype\tC\tD\tXd\tYd\tcode\tlink\n";
  out << "\t\t\t\t\t\t\twavelength";
  for (double w : wavelengths) out << "\t" << exact(w);
  out << "\n\t\t\t\t\t\t\tweight";
  for (double w : weights) out << "\t" << exact(w);
  out << "\n";
  for (std::size_t k = 0; k < surfaces.size(); ++k) {
    const Surface& s = surfaces[k];
    out << k << "\t" << s.type << "\t" << exact(s.C) << "\t" << exact(s.D) << "\t"
        << exact(s.Xd) << "\t" << exact(s.Yd) << "\t" << s.code << "\t" << s.link;
    for (double n : s.n) out << "\t" << exact(n);
    out << "\n";
  }
  return out.str();
}

void LensFile::write() const { write_file("IN_FM.txt", text()); }

std::string RaySetFile::text() const {
  const int nray_written = nray == -1000 ? static_cast<int>(rays.size()) : nray;
  std::ostringstream out;
  out << "ray set\n\n";
  out << "\tNIT\t" << NIT << "\n";
  out << "\tH\t" << exact(H) << "\n";
  out << "\tNRAY\t" << nray_written << "\n";
  out << "\tWXY\t" << exact(WXY) << "\n";
  out << "\tWUV\t" << exact(WUV) << "\n";
  out << "\tNITC\t" << NITC << "\n";
  out << "\tNITD\t" << NITD << "\n";
  out << "\tHD\t" << exact(HD) << "\n";
  out << "\n\n\n\n";
  out << "No\tX\tY\tU\tV\tXT\tYT\tUT\tVT\n";
  for (std::size_t r = 0; r < rays.size(); ++r) {
    const Ray& y = rays[r];
    out << r << "\t" << exact(y.X) << "\t" << exact(y.Y) << "\t" << exact(y.U) << "\t"
        << exact(y.V) << "\t" << exact(y.XT) << "\t" << exact(y.YT) << "\t" << exact(y.UT)
        << "\t" << exact(y.VT) << "\n";
  }
  return out.str();
}

void RaySetFile::write() const { write_file("IN_FM2.txt", text()); }

}  // namespace lumaveil::testing
