#pragma once
// The texts the writers show the user.

namespace orrelin::writer_messages {

inline constexpr const char* kNoGraphic = "There is no drawing to write.";
inline constexpr const char* kEmptySize = "The drawing has no area (%g x %g points); nothing is written.";
inline constexpr const char* kBitmapTooLarge = "A bitmap of %.0f x %.0f pixels cannot be made; nothing is written.";
inline constexpr const char* kCouldNotMake = "Could not make the %s form of the drawing.";
inline constexpr const char* kCouldNotWrite = "Could not write \"%s\": %s";
inline constexpr const char* kCouldNotReadDescription = "Could not read the drawing description \"%s\": %s";
inline constexpr const char* kNoGraphicInDescription = "it has no \"Graphic\" group";
inline constexpr const char* kCouldNotWriteMovie = "Could not write the movie \"%s\": %s";
// A drawing pass that failed with an exception: its name and reason.
inline constexpr const char* kMovieFrameFailed = "Error when computing drawing content\n%s : %s";
inline constexpr const char* kUnknownExportFormat = "Unknown export format %d.";

}  // namespace orrelin::writer_messages
