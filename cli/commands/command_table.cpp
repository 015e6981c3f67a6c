#include "cli/commands/command_table.h"

namespace lumaveil::cli::commands {

const std::vector<OptionDef>& global_options() {
  static const std::vector<OptionDef> options = {
      {"-C", nullptr, "DIR", "run in DIR: read and write the files there"},
      {"--quiet", "-q", nullptr, "no progress line and no summary of the report"},
      {"--help", "-h", nullptr, "the help of the command, or of lumaveil"},
      {"--version", nullptr, nullptr, "the version"},
  };
  return options;
}

const std::vector<Command>& command_table() {
  static const std::vector<Command> table = {
      {"MODE",
       "",
       0,
       "run one calculation: modes 1 to 6 (any other integer reads the lens)",
       "Runs one call of the library: reads IN_FM.txt (and IN_FM2.txt for modes 2, 3,\n"
       "5 and 6) and writes the report OUT_M.xls.\n"
       "\n"
       "Modes:\n"
       "  1  central-bundle trajectory and spot diagram\n"
       "  2  Gauss-Newton optimisation of the variable curvatures\n"
       "  3  Gauss-Newton optimisation of the variable axial distances\n"
       "  4  wavefront-aberration scans with degree-6 polynomial fits\n"
       "  5  curvatures with a Newton search over one axial distance\n"
       "  6  curvatures with a Newton search over two axial distances\n"
       "Any other integer reads the lens and writes nothing. Negative numbers are\n"
       "modes, not options.\n",
       {},
       mode_command},
      {"check",
       "",
       0,
       "print the lens as the library reads it, and the findings",
       "Prints the lens as the library reads it, its first-order data, a real-ray\n"
       "check and the findings (exit status 1 when there are any).\n",
       {},
       check_command},
      {"plot",
       "",
       0,
       "draw OUT_M.xls as SVG plots and an index.html",
       "Draws the report OUT_M.xls of DIR (default: the current directory) as SVG\n"
       "plots and an index.html that shows them; IN_FM.txt gives the lens layout\n"
       "and the wavelengths. The calculation is not run again. An index.html in\n"
       "OUTDIR that plot did not write is left alone unless --force is given.\n",
       {{"-o", nullptr, "OUTDIR", "write the plots there (default: plots; taken inside DIR)"},
        {"--residuals", nullptr, nullptr, "modes 2, 3, 5, 6: also plot Xa, Xs, Ya, Ys"},
        {"--force", nullptr, nullptr, "replace an index.html in OUTDIR that plot did not write"}},
       plot_command},
      {"export",
       "",
       0,
       "write OUT_M.xls as a workbook or a UTF-8 CSV",
       "Writes the report OUT_M.xls of DIR (default: the current directory) as a\n"
       "workbook, OUT_M.xlsx: numbers as numbers showing every printed digit,\n"
       "headings as text, one sheet per block (per wavelength in modes 1 and 4),\n"
       "with charts. --csv writes OUT_M.csv instead, the same cells as UTF-8 CSV.\n"
       "The calculation is not run again.\n",
       {{"-o", nullptr, "FILE", "the file to write (taken inside DIR)"},
        {"--csv", nullptr, nullptr, "UTF-8 CSV instead of a workbook"}},
       export_command},
      {"fields",
       "",
       0,
       "aim chief rays through the stop and analyse the field",
       "Aims the chief ray of each field point through the aperture stop (surface K)\n"
       "and traces, per field and wavelength, the chief ray, the spot of the lens's\n"
       "aperture grid and the ray fans with the library's own tracer; prints the\n"
       "distortion, field curvature, lateral and longitudinal colour, the first-order\n"
       "data and the pupils, and writes fields.csv, SVG figures and index.html.\n",
       {{"--stop", nullptr, "K", "the surface that is the aperture stop (1..NUMB-2); required"},
        {"--field", nullptr, "LIST",
         "comma-separated fields: angles for aperture kind 1 (object at\n"
         "                infinity), object heights for kind 2; default 0, 0.7 and 1 of\n"
         "                the central ray's field when it is off the axis"},
        {"--unit", nullptr, "U", "deg (default) or rad for angles, mm for heights"},
        {"-o", nullptr, "OUTDIR",
         "where the CSV, figures and page go (default: fields; taken\n"
         "                inside DIR)"},
        {"--reference", nullptr, "Q",
         "the reference wavelength (default 1): pupils, lateral colour\n"
         "                per wavelength, the centres of the spot matrix, the layout"},
        {"--no-files", nullptr, nullptr, "print the table only"}},
       fields_command},
      {"quality",
       "",
       0,
       "wavefront, Zernike terms, PSF, MTF and encircled energy per field",
       "Traces an N x N grid of rays over the pupil of each field with the library's\n"
       "own tracer (chief ray aimed through the stop), and prints per field and\n"
       "wavelength the wavefront's RMS and peak-to-valley, the Strehl ratio, the MTF\n"
       "at NU cycles per mm and the 80 % encircled-energy radius; writes the wavefront,\n"
       "Zernike terms (Fringe and Standard), PSF, MTF and energy as CSV, SVG figures\n"
       "and index.html. Needs a lumaveil built with FFTW.\n",
       {{"--stop", nullptr, "K", "the surface that is the aperture stop (1..NUMB-2); required"},
        {"--field", nullptr, "LIST",
         "comma-separated fields along x: angles for aperture kind 1\n"
         "                (object at infinity), object heights for kind 2; default 0"},
        {"--unit", nullptr, "U", "deg (default) or rad for angles, mm for heights"},
        {"--wavelength", nullptr, "Q", "only wavelength Q (1..NW); default every wavelength"},
        {"--grid", nullptr, "N", "pupil samples across the diameter, 8..1024 (default 64)"},
        {"--frequency", nullptr, "NU", "the table's MTF frequency in cycles/mm (default 50)"},
        {"-o", nullptr, "OUTDIR", "where the files go (default: quality; taken inside DIR)"},
        {"--no-files", nullptr, nullptr, "print the table only"}},
       quality_command},
      {"help",
       "[COMMAND]",
       1,
       "the help of a command, or this text",
       "Prints the help of COMMAND, or the overview of lumaveil.\n",
       {},
       help_command},
  };
  return table;
}

const Command* find_command(const std::string& word) {
  const std::string name = is_mode_number(word) ? "MODE" : word;
  for (const Command& command : command_table())
    if (name == command.name) return &command;
  return nullptr;
}

std::string usage_line(const Command& command) {
  std::string line = std::string("lumaveil [-C DIR] [--quiet] ") + command.name;
  if (*command.operands != '\0') line += std::string(" ") + command.operands;
  if (!command.options.empty()) {
    line += ' ';
    line += option_synopsis(command.options);
  }
  return line;
}

}  // namespace lumaveil::cli::commands
