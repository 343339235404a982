#include "HelpTexts.h"

namespace orrelin {

namespace {

const std::vector<std::string> kOutputHelp = {
    "File endings for -output file.end :",
    "  pdf, eps    : vector graphics.",
    "  svg         : Scalable Vector Graphics - a web standard.",
    "  orrel      : Orrelin file.  Not a graphic file.",
    "                Contains all the data that was imported, and new value of parameters etc.",
    "  png         : Portable network graphics.",
    "  jpg, jpeg   : JPEG file.",
    "       -quality q     q between 0 and 1 (Default value 0.8).",
    "  tiff, tif   : Tiff file.",
    "       -alpha        : Picture will include transparency layer.",
    "  For bitmaps",
    "       -dpi #        : Sets the dots per inch (default is 72).",
    "       -nosmoothing  : Turn off anti-aliasing.",
    "  mov         : QuickTime movie.  Flags specific to QuickTime output (optional)",
    "       -range text   : Overwrite the range of the animation variable.",
    "       -duration v   : Overwrite the duration field (seconds).",
    "       -fps #        : Overwrite the frames per second for the movie.",
    "       -QT lossless  : Use the animation codec instead of the file default.",
    "       -QT png       : Use PNG compression on each frame.",
    "       -QT jpeg      : Use jpeg on each frame. ",
    "       -QT jpeg2000  : Use jpeg2000 on each frame. ",
    "    If using jpeg/jpeg2000 you can set the quality with the -QTQuality flag",
    "       -QTQuality maximum. ",
    "       -QTQuality high      (used if no flag specified). ",
    "       -QTQuality normal. ",
    "       -QTQuality low. ",
    "",
    "You can overwrite the height/width of the drawing view",
    " -width value  : sets the width in pixels.",
    " -height value : sets the height in pixels.",
    "",
};

const std::vector<std::string> kExamplesHelp = {
    "Examples:",
    "",
    "orrel table.txt -script ~/Master.orrel -output table.pdf",
    "     - Imports number from table.txt, and saves the output.",
    "",
    "orrel t.txt -script ~/M.orrel -v title=\"My title\" -output t.tiff -alpha",
    "     - Overwrites the title variable, which you could use in a.",
    "       title field, or a label, and saves the output as a",
    "       tiff file with transparency.",
    "",
    "orrel s.txt t.rtf -script ~/M.orrel -v title=\"Test\" -v a=3.5 -output t.eps",
    "     - Imports s.txt, followed by the text version of the rtf file.",
    "       If s.txt has 2 columns, and t.txt has 3, then the first 5 columns.",
    "       that are not expression columns are overwritten with this content.",
    "       any additional columns are left as is in the file template.",
    "",
    "",
};

const std::vector<std::string> kColorSchemeHelp = {
    "orrel .... -cs argument .....",
    "       The argument string has the following format:.",
    "          name;overwrite;overwrite;...;owerwrite .",
    "       where 'name' is the color scheme name (first match), and overwrite",
    "       has the form",
    "          key#N=value",
    "       key   - is one of value, range, match, title, color",
    "       N     - is an integer, indicating the line in the color scheme",
    "       value - is the value that should be used for overwriting.",
    "               and for the color this is either 3 or 4 comma separated list.",
    "Example:",
    "       -cs col;value#1=1;range#2=1,2;color#1=0.4,1/2,30/255",
    "          overwrites entries in the first two lines in the 'col' color scheme.",
    "",
};

const std::vector<std::string> kGeneralHelp = {
    "Command line interface to Orrelin:",
    "",
    "Usage:",
    "orrel [files] -script pathname -output filename [other flags]",
    "",
    "Entries can be put in any order, but quotes might be needed",
    "",
    "-script path  : Required.  Name of the Orrelin file (ending in .orrel)",
    "                that will be used as a template for the data, and used",
    "                to describe how to create the drawing.",
    "                This file is not changed.",
    "-output path  : Required.  The name of the output, the ending will be",
    "                used to determine the format.",
    "                Use \"-help output\" for more information",
    "",
    "Optional entries",
    "file          : is one or more file names.  This file or files will be",
    "                used to overwrite the data in the script template.",
    "                Same as if you used the Import action.",
    "-v name=value : or  -variable name=value",
    "                Overwrite a variable, either a string or number.",
    "-cs argument  : or  -colorscheme arguments",
    "                Overwrite settings inside a color scheme.",
    "                Use \"-help colorscheme\" for specifying arguments.",
    "",
    "To see examples of how you can use orrel, do:\n    orrel -help examples",
    "",
    "NOTE:",
    "      To create bitmaps, such as tiff documents, and movies, the user",
    "      needs to be logged in on the console on that machine.",
    "      orrel will fail in these circumstances.  Creating pdf or eps",
    "      images does work however since the window manager is not needed.",
    "      You CAN however run orrel remotely and generate bitmaps and movies.",
    "      as long as you are also logged in as a desktop user.",
    "      For example, you can ssh into your machine at work and use orrel.",
    "",
};

}  // namespace

const std::vector<std::string>& helpLines(const std::string& topic) {
  if (topic == "output") return kOutputHelp;
  if (topic == "examples") return kExamplesHelp;
  if (topic == "colorscheme") return kColorSchemeHelp;
  return kGeneralHelp;
}

}  // namespace orrelin
