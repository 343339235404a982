#pragma once
// Every text the display list shows the user, in one place. Texts with a
// %d or %s are filled with formatMessage.

#include <string>

namespace orrelin::drawing_messages {

inline constexpr const char* kIncorrectPathFormat = "Internal error: Drawing a path with incorrect format.";
inline constexpr const char* kTooManyPoints = "Can not draw a path with %d points.  Threshold set at 2,000,000.";
inline constexpr const char* kTooManyLines =
    "Internal error: Trying to draw a path with %d lines, but there is a cap at %d lines.";
inline constexpr const char* kNilPathObject = "Severe error: thePath==nil for KRDrawingPathFromObj.";
inline constexpr const char* kPathTooBigForClip = "Path too big to use as a clip.";
inline constexpr const char* kInvalidLineArray = "Invalid line array object";
inline constexpr const char* kInvalidLineColors = "Invalid line color object";
inline constexpr const char* kInvalidLineSize = "Invalid size for line collection";
inline constexpr const char* kInvalidCircleArray = "Internal error: KRDrawingPathCircleCollection passed an invalid array.";
inline constexpr const char* kInvalidCubicArray = "+ (KRDrawingCubicBezier *)createWithArray: array has invalid size.";
inline constexpr const char* kNilPath = "Internal error: Trying to draw a nil path.";
inline constexpr const char* kRemoveOutOfBounds = "Removing a drawing object out of bounds.";
inline constexpr const char* kShiftedBitmap = "Can not cache a bitmap version for a shifted group.";
inline constexpr const char* kUnsupportedBitmap = "Unsupported bitmap type";
inline constexpr const char* kNoPattern = "No pattern set for the style.";
inline constexpr const char* kPatternEntryOutOfBounds = "patternEntry: entry out of bounds.";

// Texts of this system's own where the design leaves the wording open.
inline constexpr const char* kUnsupportedOperation = "Internal error: %s does not support %s.";
inline constexpr const char* kNilChild = "Internal error: Trying to add a nil drawing object to a group.";
inline constexpr const char* kIndexOutOfBounds = "Internal error: Drawing object index %d is out of bounds.";
inline constexpr const char* kDrawingFailed = "Error when drawing %s\n%s";
inline constexpr const char* kPatternTooLong = "A dash pattern has at most 12 entries; the rest of %d is ignored.";
inline constexpr const char* kInvalidGradientColors =
    "Invalid color list for a gradient: it needs 4 or 5 rows (position, red, green, blue, alpha) and at least one column.";
inline constexpr const char* kInvalidOffsets = "Invalid offsets for a repeated drawing: they need 2 rows.";
inline constexpr const char* kNilStencil = "Internal error: A repeated drawing needs a stencil group.";
inline constexpr const char* kNoImage = "Internal error: Trying to draw a bitmap without an image.";
inline constexpr const char* kNoPDF = "Internal error: Trying to draw a PDF without a document.";
inline constexpr const char* kNoiseTooLarge = "Perlin noise of %d x %d pixels is too large to draw; the pixel size is raised.";

inline constexpr const char* kUnexpectedCGPathType = "Unexpected type in CGPath";
inline constexpr const char* kIncorrectCGPathSize = "Incorrect array size for CGPath";
inline constexpr const char* kUnexpectedPathElement = "Unexpected path element type";
inline constexpr const char* kDescriptionTooDeep =
    "A drawing description nests groups deeper than %d levels; the deeper groups are skipped.";
inline constexpr const char* kImageTooLarge = "A stored image is too large to read; it is left out.";
inline constexpr const char* kMissingSVG = "Missing addToSVGStream for %s";
inline constexpr const char* kUnknownDrawingType = "Unknown drawing type \"%s\" skipped.";
inline constexpr const char* kUnreadableColorText = "The color text \"%s\" cannot be read.";
inline constexpr const char* kUnknownCatalogColor = "The color \"%s\" of the catalog \"%s\" is not known.";
inline constexpr const char* kUnreadableArchivedColor = "The archived color under \"%s\" cannot be read.";
inline constexpr const char* kUnknownColorForm =
    "The color under \"%s\" is neither a color text, a catalog color nor archived data.";

// printf-style filling of one of the texts above.
std::string formatMessage(const char* format, ...);

}  // namespace orrelin::drawing_messages
