// `lumaveil plot`: the report's figures as SVG files and the page that
// shows them.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>

#include "cli/commands/command_line.h"
#include "cli/commands/report_file.h"
#include "cli/inputs/lens_view.h"
#include "cli/plot.h"

namespace lumaveil::cli::commands {

namespace {

std::string modification_date(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return "unknown date";
  std::time_t t = st.st_mtime;
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buffer[64];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M UTC", &tm);
  return buffer;
}

bool write_text(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

// Why the page shows no lens: the file's reason, "not found" when it is
// missing.
std::string lens_note(const inputs::InputFile& file) {
  const std::string why = file.error == ENOENT ? "IN_FM.txt not found"
                                               : "IN_FM.txt cannot be read (" + file.reason + ")";
  return why + ": no lens title, wavelengths by number, no surfaces in the layout";
}

}  // namespace

int plot_command(const Invocation& call) {
  const std::optional<report::Report> r = report_to_show(call, "plot");
  if (!r) return 1;
  plot::Options options;
  options.residuals = call.options.has("--residuals");
  std::vector<std::string> notes;
  const std::unique_ptr<inputs::Inputs> in = inputs::read_inputs("", false);
  const bool have_lens = in->lens_file.read;
  inputs::LensView lens;
  if (have_lens)
    lens = inputs::lens_view(*in);
  else
    notes.push_back(lens_note(in->lens_file));
  const std::vector<plot::Figure> figs = plot::figures(*r, have_lens ? &lens : nullptr, options, &notes);

  namespace fs = std::filesystem;
  const fs::path out_dir = call.options.value("-o", "plots");
  const std::string shown = shown_path(call, out_dir.string());
  std::error_code ec;
  fs::create_directories(out_dir, ec);
  if (ec) {
    std::fprintf(stderr, "lumaveil plot: cannot create %s: %s\n", shown.c_str(), ec.message().c_str());
    return 1;
  }
  for (const auto& f : figs) {
    if (!write_text(out_dir / f.file, f.svg)) {
      std::fprintf(stderr, "lumaveil plot: cannot write %s/%s\n", shown.c_str(), f.file.c_str());
      return 1;
    }
  }
  const std::string page = plot::index_html(*r, have_lens ? &lens : nullptr, figs, modification_date("OUT_M.xls"), notes);
  if (!write_text(out_dir / "index.html", page)) {
    std::fprintf(stderr, "lumaveil plot: cannot write %s/index.html\n", shown.c_str());
    return 1;
  }
  std::printf("%s: %zu plots and index.html\n", shown.c_str(), figs.size());
  return 0;
}

}  // namespace lumaveil::cli::commands
