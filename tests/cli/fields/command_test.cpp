// `lumaveil fields` as a user meets it: the host program with its
// arguments, exit statuses, table and files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/fields/lenses.h"

namespace lumaveil::testing {
namespace {

HostRun run(const std::vector<std::string>& args) {
  return run_host(LUMAVEIL_HOST, "fields", args);
}

TEST(FieldsCommand, UsageErrorsSayWhatIsWrong) {
  ScratchDir dir;
  write_file("IN_FM.txt", read_file(example_path("double_gauss")));
  struct Case {
    std::vector<std::string> args;
    const char* says;
  };
  const Case cases[] = {
      {{"--field", "10"}, "--stop K is required"},
      {{"--stop", "six"}, "--stop needs a surface number"},
      {{"--stop", "6", "--field", "1,,2"}, "--field needs numbers"},
      {{"--stop", "6", "--field", "nan"}, "--field needs numbers"},
      {{"--stop", "6", "--unit", "km"}, "--unit is deg, rad or mm"},
      {{"--stop", "6", "--bogus"}, "lumaveil fields: unknown option --bogus"},
      {{"--stop", "6", "stray"}, "lumaveil fields: unexpected argument 'stray'"},
      {{"--stop"}, "lumaveil fields: --stop needs K"},
      // The lens's central ray is on the axis: no field to take from it.
      {{"--stop", "6"}, "give the fields with --field"},
      // Kind 1 takes angles, not heights.
      {{"--stop", "6", "--field", "5", "--unit", "mm"}, "fields are angles"},
      // The image surface (12) and the closing surface cannot be the stop.
      {{"--stop", "12", "--field", "5"}, "the stop must be one of the lens's surfaces 1..11"},
      {{"--stop", "0", "--field", "5"}, "the stop must be one of"},
      // The lens has one wavelength.
      {{"--stop", "6", "--field", "5", "--reference", "2"},
       "the reference wavelength must be one of 1..1"},
      {{"--stop", "6", "--reference", "d"}, "--reference needs a wavelength number"},
  };
  for (const Case& c : cases) {
    const HostRun r = run(c.args);
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  EXPECT_EQ(run({"--help"}).status, 0);
}

// -C DIR and --quiet before or after the command, as for every command;
// the help from the command table; a usage error ends with the usage line.
TEST(FieldsCommand, TakesTheGlobalOptionsAndHelpOfTheHost) {
  ScratchDir dir;
  std::filesystem::create_directory("lens");
  write_file("lens/IN_FM.txt", read_file(example_path("off_axis_field")));
  for (const char* words : {"-C lens fields --stop 1 --unit rad --no-files",
                            "fields --stop 1 -C lens --unit rad --no-files --quiet",
                            "--quiet fields --unit rad --no-files --stop 1 -C lens"}) {
    const HostRun r = run_host(LUMAVEIL_HOST, words);
    EXPECT_EQ(r.status, 0) << words << "\n" << r.err;
    EXPECT_NE(r.out.find("\n     0.035 "), std::string::npos) << words << "\n" << r.out;
  }
  const HostRun written = run_host(LUMAVEIL_HOST, "fields -C lens --stop 1 --unit rad");
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_NE(written.out.find("\nlens/fields: fields.csv, 5 figures and index.html\n"),
            std::string::npos)
      << written.out;
  EXPECT_TRUE(file_exists("lens/fields/index.html"));
  EXPECT_FALSE(file_exists("fields"));

  const HostRun help = run_host(LUMAVEIL_HOST, "help fields");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, run_host(LUMAVEIL_HOST, "fields --help").out);
  for (const char* part : {"usage: lumaveil [-C DIR] [--quiet] fields [--stop K]", "--reference Q",
                           "--no-files", "-C DIR"})
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  EXPECT_NE(run_host(LUMAVEIL_HOST, "help").out.find("\n  fields   "), std::string::npos);
  const HostRun usage = run_host(LUMAVEIL_HOST, "fields --field 1");
  EXPECT_EQ(usage.err,
            "lumaveil fields: --stop K is required: the surface that is the aperture stop\n"
            "usage: lumaveil [-C DIR] [--quiet] fields [--stop K] [--field LIST] [--unit U] "
            "[-o OUTDIR] [--reference Q] [--no-files]\n");
}

TEST(FieldsCommand, MissingLensFileIsNamed) {
  ScratchDir dir;
  const HostRun r = run({"--stop", "1", "--field", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("IN_FM.txt"), std::string::npos) << r.err;
}

TEST(FieldsCommand, OffAxisCentralRayGivesTheDefaultFields) {
  ScratchDir dir;
  write_file("IN_FM.txt", read_file(example_path("off_axis_field")));
  const HostRun r = run({"--stop", "1", "--unit", "rad", "--no-files"});
  ASSERT_EQ(r.status, 0) << r.err;
  // 0, 0.7 and 1 of the central ray's 0.05 rad.
  for (const char* field : {"\n         0 ", "\n     0.035 ", "\n      0.05 "})
    EXPECT_NE(r.out.find(field), std::string::npos) << field << r.out;
  EXPECT_FALSE(std::filesystem::exists("fields"));
}

TEST(FieldsCommand, WritesTheCsvFiguresAndPage) {
  ScratchDir dir;
  write_file("IN_FM.txt", read_file(example_path("cooke_triplet")));
  const HostRun r = run({"--stop", "4", "--field", "0,10,18", "-o", "out", "--reference", "2"});
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
  const HostRun r = run({"--stop", "6", "--field", "10,60", "--no-files"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("field 60 deg, wavelength 1: chief ray:"), std::string::npos) << r.err;
  // The field that could be aimed is still in the table.
  EXPECT_NE(r.out.find("-18.057289"), std::string::npos) << r.out;
}

TEST(FieldsCommand, ObjectHeightsForAnAngleAperture) {
  ScratchDir dir;
  write_file("IN_FM.txt", read_file(example_path("finite_object")));
  EXPECT_EQ(run({"--stop", "1", "--field", "5", "--unit", "deg", "--no-files"}).status, 2);
  const HostRun r = run({"--stop", "1", "--field", "0,5", "--no-files"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("field mm"), std::string::npos);
}

}  // namespace
}  // namespace lumaveil::testing
