// The plots in a real browser: headless Chromium renders index.html, and the
// screenshot must show the plots in their colours.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "cli/drawing/palette.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using lumaveil::testing::ScratchDir;

std::string find_chromium() {
  if (const char* given = std::getenv("LUMAVEIL_CHROMIUM")) return given;
  for (const char* path : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
    if (fs::exists(path)) return path;
  return "";
}

int run(const std::string& command) {
  int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

struct Rgb {
  int r, g, b;
};

Rgb parse_colour(const std::string& hex) {
  return {std::stoi(hex.substr(1, 2), nullptr, 16), std::stoi(hex.substr(3, 2), nullptr, 16),
          std::stoi(hex.substr(5, 2), nullptr, 16)};
}

struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  bool read(const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return true;
  }
  // Pixels within a small distance of the colour.
  long count(Rgb c, int tolerance = 40) const {
    long n = 0;
    for (std::size_t k = 0; k + 2 < rgb.size(); k += 3)
      if (std::abs(rgb[k] - c.r) + std::abs(rgb[k + 1] - c.g) + std::abs(rgb[k + 2] - c.b) <=
          tolerance)
        ++n;
    return n;
  }
};

// Runs one mode of an example, plots it and takes a screenshot of the page.
std::string screenshot(const std::string& chromium, const std::string& example, int mode) {
  std::string dir = "m";
  dir += std::to_string(mode);
  fs::create_directories(dir);
  for (const char* f : {"IN_FM.txt", "IN_FM2.txt"})
    fs::copy_file(fs::path(LUMAVEIL_EXAMPLES_DIR) / example / f, fs::path(dir) / f);
  std::string host = std::string("\"") + LUMAVEIL_HOST + "\"";
  if (run(host + " -C " + dir + " " + std::to_string(mode) + " >/dev/null") != 0) return "";
  if (run(host + " plot -C " + dir + " >/dev/null") != 0) return "";
  std::string page = fs::absolute(dir + "/plots/index.html").string();
  std::string shot = fs::absolute(dir + "/shot.png").string();
  std::string profile = fs::absolute(dir + "/profile").string();
  std::string command = "timeout 120 \"" + chromium +
                        "\" --headless --no-sandbox --disable-gpu --no-first-run "
                        "--disable-background-networking --disable-component-update --disable-sync "
                        "--user-data-dir=\"" +
                        profile + "\" --screenshot=\"" + shot +
                        "\" --window-size=1400,1000 \"file://" + page + "\" >/dev/null 2>&1";
  run(command);
  // Kept for a person to look at.
  fs::create_directories(LUMAVEIL_SCREENSHOT_DIR);
  std::error_code ignored;
  fs::copy_file(
      shot, fs::path(LUMAVEIL_SCREENSHOT_DIR) / (example + "-mode" + std::to_string(mode) + ".png"),
      fs::copy_options::overwrite_existing, ignored);
  return shot;
}

TEST(PlotInBrowser, HeadlessChromiumShowsThePlotsInTheirColours) {
  std::string chromium = find_chromium();
  if (chromium.empty()) {
    // CI sets LUMAVEIL_REQUIRE_BROWSER_TEST=1: then a missing Chromium is a failure.
    if (lumaveil::testing::required("LUMAVEIL_REQUIRE_BROWSER_TEST"))
      FAIL() << "Chromium is not installed (sh scripts/install-deps.sh host-tools installs it)";
    GTEST_SKIP() << "Chromium is not installed (Debian package chromium; sh "
                    "scripts/install-deps.sh host-tools "
                    "installs it, or set LUMAVEIL_CHROMIUM)";
  }
  ScratchDir scratch;
  struct Case {
    std::string example;
    int mode;
    int colours;  // series colours the first screen shows
  };
  for (const Case& c : {Case{"cooke_triplet", 1, 3}, Case{"cooke_triplet", 4, 2},
                        Case{"achromatic_doublet", 5, 1}}) {
    SCOPED_TRACE(c.example + " mode " + std::to_string(c.mode));
    std::string shot = screenshot(chromium, c.example, c.mode);
    ASSERT_FALSE(shot.empty()) << "the run or the plot failed";
    Picture picture;
    ASSERT_TRUE(picture.read(shot)) << "no readable screenshot at " << shot;
    EXPECT_EQ(picture.width, 1400);
    long pixels = static_cast<long>(picture.width) * picture.height;
    long white = picture.count({255, 255, 255}, 6);
    EXPECT_LT(white, pixels * 97 / 100) << "the page is blank";
    EXPECT_GT(picture.count({0, 0, 0}, 60), 2000) << "no axes or text";
    for (int k = 0; k < c.colours; ++k)
      EXPECT_GT(
          picture.count(parse_colour(lumaveil::cli::drawing::colour(static_cast<std::size_t>(k)))),
          100)
          << "colour " << lumaveil::cli::drawing::colour(static_cast<std::size_t>(k))
          << " is missing";
  }
}

}  // namespace
