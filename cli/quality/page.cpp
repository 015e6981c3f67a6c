#include "page.h"

#include <sstream>

#include "cli/svg.h"

namespace lumaveil::quality {
namespace {

constexpr const char* kConventions =
    "<ul>\n"
    "<li>Pupil coordinates (px, py) are normalised entrance-pupil coordinates around the chief "
    "ray, which is aimed through the centre of the stop: for an object at infinity the start "
    "heights are the chief ray's plus (px, py)&middot;RH, for an object on the start plane the "
    "tangents of the start angles are the chief ray's plus (px, py)&middot;tan RU. The rim is "
    "px&sup2; + py&sup2; = 1. The field lies along x: x is tangential, y sagittal.</li>\n"
    "<li>W is the optical path of the chief ray minus that of the ray, both to the reference "
    "sphere centred on the chief ray's point on the image surface (NUMB&minus;1) and passing "
    "through the chief ray's point in the exit-pupil plane, in waves: positive where the "
    "wavefront leads the sphere. W = 0 on the chief ray.</li>\n"
    "<li>Each cell of the N&times;N grid whose centre lies inside the rim carries one ray. A "
    "ray that fails in the trace is vignetted: counted, drawn grey, left out.</li>\n"
    "<li>Zernike terms by least squares over the unit circle, &theta; from +x toward +y: "
    "Fringe (37, rim value 1) and Standard/Noll (37, RMS 1, even index cos, odd sin).</li>\n"
    "<li>The PSF is |FFT|&sup2; of the pupil function exp(2&pi;iW) padded to 2N&times;2N: "
    "Nyquist-sampled at &lambda;/(4&nbsp;NA), NA the image-space numerical aperture of the rim "
    "rays. Intensities are in units of the aberration-free peak, so the Strehl ratio is the "
    "PSF at its best-fitting point (tilt removed); Mar&eacute;chal's estimate is "
    "exp(&minus;(2&pi;&sigma;)&sup2;) with &sigma; the RMS with tilt removed.</li>\n"
    "<li>MTF: the modulus of the PSF's Fourier transform, tangential for patterns varying "
    "along x, sagittal along y, to the cut-off 2&nbsp;NA/&lambda;; the diffraction limit "
    "2/&pi;(&phi; &minus; cos&nbsp;&phi; sin&nbsp;&phi;), cos&nbsp;&phi; = "
    "&nu;/&nu;<sub>c</sub>; the geometric MTF from the spot of the same rays. Lengths in mm, "
    "frequencies in cycles/mm.</li>\n"
    "<li>Encircled and ensquared energy about the PSF's centroid.</li>\n"
    "</ul>\n";

void table(std::ostringstream& out, const std::vector<PageSection>& sections, double frequency) {
  std::vector<Entry> entries;
  for (const PageSection& s : sections) entries.push_back(*s.entry);
  std::ostringstream text;
  write_table(text, entries, frequency);
  out << "<pre>" << svg::escape(text.str()) << "</pre>\n";
}

}  // namespace

std::string quality_page(const std::string& title, int stop, int grid, double frequency,
                         const std::vector<PageSection>& sections,
                         const std::vector<std::string>& warnings) {
  std::ostringstream out;
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      << "<title>Image quality: " << svg::escape(title) << "</title>\n"
      << "<style>body{font-family:sans-serif;margin:2em;max-width:1900px}"
         "img{max-width:100%;border:1px solid #ccc;margin:4px}"
         "figure{display:inline-block;margin:0 1em 1em 0;vertical-align:top;width:860px}"
         ".warn{color:#a00000}pre{background:#f6f6f6;padding:1em}</style>\n</head>\n<body>\n"
      << "<h1>Image quality</h1>\n<p>" << svg::escape(title) << "<br>stop: surface " << stop
      << "; pupil grid " << grid << "&times;" << grid << "</p>\n";
  table(out, sections, frequency);
  for (const std::string& w : warnings) out << "<p class=\"warn\">" << svg::escape(w) << "</p>\n";
  out << "<h2>Conventions</h2>\n" << kConventions;
  for (const PageSection& s : sections) {
    out << "<h2>Field " << svg::escape(s.entry->field_text) << ", "
        << format_number(s.entry->wavelength_nm) << " nm</h2>\n";
    for (const plot::Figure& f : s.figures)
      out << "<figure><img src=\"" << svg::escape(f.file) << "\" alt=\"" << svg::escape(f.caption)
          << "\"><figcaption>" << svg::escape(f.caption) << "</figcaption></figure>\n";
  }
  out << "</body>\n</html>\n";
  return out.str();
}

}  // namespace lumaveil::quality
