#include "cli/fields/command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "fields/lenses.h"

namespace lumaveil::testing {
namespace {

using fields::FieldsOptions;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(std::vector<const char*> args) {
  FieldsOptions options;
  std::ostringstream out, err;
  int status = fields::parse_fields_options(static_cast<int>(args.size()), args.data(), options, out, err);
  if (status < 0) status = fields::run_fields_command(options, out, err);
  return {status, out.str(), err.str()};
}

TEST(FieldsCommand, UsageErrorsSayWhatIsWrong) {
  ScratchDir dir;
  write_file("IN_FM.txt", read_file(example_path("double_gauss")));
  struct Case {
    std::vector<const char*> args;
    const char* says;
  };
  const Case cases[] = {
      {{"--field", "10"}, "--stop K is required"},
      {{"--stop", "six"}, "--stop needs a surface number"},
      {{"--stop", "6", "--field", "1,,2"}, "--field needs numbers"},
      {{"--stop", "6", "--field", "nan"}, "--field needs numbers"},
      {{"--stop", "6", "--unit", "km"}, "--unit is deg, rad or mm"},
      {{"--stop", "6", "--bogus"}, "unknown argument --bogus"},
      {{"--stop"}, "--stop needs a value"},
      // The lens's central ray is on the axis: no field to take from it.
      {{"--stop", "6"}, "give the fields with --field"},
      // Kind 1 takes angles, not heights.
      {{"--stop", "6", "--field", "5", "--unit", "mm"}, "fields are angles"},
      // The image surface (12) and the closing surface cannot be the stop.
      {{"--stop", "12", "--field", "5"}, "the stop must be one of the lens's surfaces 1..11"},
      {{"--stop", "0", "--field", "5"}, "the stop must be one of"},
      // The lens has one wavelength.
      {{"--stop", "6", "--field", "5", "--reference", "2"}, "the reference wavelength must be one of 1..1"},
      {{"--stop", "6", "--reference", "d"}, "--reference needs a wavelength number"},
  };
  for (const Case& c : cases) {
    const Outcome r = run(c.args);
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  EXPECT_EQ(run({"--help"}).status, 0);
}

TEST(FieldsCommand, MissingLensFileIsNamed) {
  ScratchDir dir;
  const Outcome r = run({"--stop", "1", "--field", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("IN_FM.txt"), std::string::npos) << r.err;
}

TEST(FieldsCommand, OffAxisCentralRayGivesTheDefaultFields) {
  ScratchDir dir;
  write_file("IN_FM.txt", read_file(example_path("off_axis_field")));
  const Outcome r = run({"--stop", "1", "--unit", "rad", "--no-files"});
  ASSERT_EQ(r.status, 0) << r.err;
  // 0, 0.7 and 1 of the central ray's 0.05 rad.
  for (const char* field : {"\n         0 ", "\n     0.035 ", "\n      0.05 "})
    EXPECT_NE(r.out.find(field), std::string::npos) << field << r.out;
  EXPECT_FALSE(std::filesystem::exists("fields"));
}

TEST(FieldsCommand, WritesTheCsvFiguresAndPage) {
  ScratchDir dir;
  write_file("IN_FM.txt", read_file(example_path("cooke_triplet")));
  const Outcome r = run({"--stop", "4", "--field", "0,10,18", "-o", "out", "--reference", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("reference wavelength: 587.6 nm"), std::string::npos) << r.out;
  EXPECT_NE(read_file("out/spots.svg").find("chief ray at 587.6 nm"), std::string::npos);
  const std::vector<std::string> csv = split_lines(read_file("out/fields.csv"));
  ASSERT_EQ(csv.size(), 1u + 3 * 3);  // fields × wavelengths
  EXPECT_EQ(csv[0].rfind("field_deg,wavelength_nm,start_x", 0), 0u);
  for (const char* file : {"field-curves.svg", "distortion.svg", "lateral-colour.svg", "spots.svg",
                           "ray-fans.svg", "layout.svg"}) {
    const std::string svg = read_file(std::string("out/") + file);
    EXPECT_NE(svg.find("</svg>"), std::string::npos) << file;
    EXPECT_EQ(svg.find("nan"), std::string::npos) << file;
    EXPECT_NE(read_file("out/index.html").find(file), std::string::npos) << file;
  }
  // Nothing is left under a temporary name.
  for (const auto& entry : std::filesystem::directory_iterator("out"))
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(FieldsCommand, FieldBeyondTheLensIsReportedAndFails) {
  ScratchDir dir;
  write_file("IN_FM.txt", read_file(example_path("double_gauss")));
  const Outcome r = run({"--stop", "6", "--field", "10,60", "--no-files"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("field 60 deg, wavelength 1: chief ray:"), std::string::npos) << r.err;
  // The field that could be aimed is still in the table.
  EXPECT_NE(r.out.find("-18.057289"), std::string::npos) << r.out;
}

TEST(FieldsCommand, ObjectHeightsForAnAngleAperture) {
  ScratchDir dir;
  write_file("IN_FM.txt", read_file(example_path("finite_object")));
  EXPECT_EQ(run({"--stop", "1", "--field", "5", "--unit", "deg", "--no-files"}).status, 2);
  const Outcome r = run({"--stop", "1", "--field", "0,5", "--no-files"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("field mm"), std::string::npos);
}

}  // namespace
}  // namespace lumaveil::testing
