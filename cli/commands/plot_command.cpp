// `lumaveil plot`: the report's figures as SVG files and the page that
// shows them.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>

#include "cli/commands/command_line.h"
#include "cli/commands/report_file.h"
#include "cli/drawing/figures.h"
#include "cli/drawing/page.h"
#include "cli/inputs/lens_view.h"
#include "cli/report_input/file_bytes.h"

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

// Writes one file of the plots; false after a message that says why not.
bool write_text(const std::filesystem::path& path, const std::string& shown,
                const std::string& text) {
  const Status written = report_input::write_whole_file(path.string(), text);
  if (!written.ok())
    std::fprintf(stderr, "lumaveil plot: cannot write %s: %s\n", shown.c_str(),
                 written.reason().c_str());
  return written.ok();
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
  const std::optional<report_input::ReportContents> r = report_to_show(call, "plot", false);
  if (!r) return 1;
  drawing::FigureOptions options;
  options.residuals = call.options.has("--residuals");
  std::vector<std::string> notes;
  const std::unique_ptr<inputs::Inputs> in = inputs::read_inputs("", false);
  const bool have_lens = in->lens_file.read;
  inputs::LensView lens;
  if (have_lens)
    lens = inputs::lens_view(*in);
  else
    notes.push_back(lens_note(in->lens_file));
  const std::vector<drawing::Figure> figs =
      drawing::figures(*r, have_lens ? &lens : nullptr, options, &notes);

  namespace fs = std::filesystem;
  const fs::path out_dir = call.options.value("-o", "plots");
  const std::string shown = shown_path(call, out_dir.string());
  std::error_code ec;
  fs::create_directories(out_dir, ec);
  if (ec) {
    std::fprintf(stderr, "lumaveil plot: cannot create %s: %s\n", shown.c_str(),
                 ec.message().c_str());
    return 1;
  }
  for (const auto& f : figs)
    if (!write_text(out_dir / f.file, shown + "/" + f.file, f.svg)) return 1;
  const std::string page = drawing::index_html(*r, have_lens ? &lens : nullptr, figs,
                                               modification_date("OUT_M.xls"), notes);
  if (!write_text(out_dir / "index.html", shown + "/index.html", page)) return 1;
  std::printf("%s: %zu plots and index.html\n", shown.c_str(), figs.size());
  return 0;
}

}  // namespace lumaveil::cli::commands
