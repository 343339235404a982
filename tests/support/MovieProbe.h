#pragma once
// Reads a movie back with ffprobe: what it reports of the first video
// stream, with the frames counted by decoding them all (so a frame that does
// not decode is not counted). Anything ffprobe prints that is not a field
// is collected under "error".

#include <cstdio>
#include <map>
#include <string>

namespace orrelin::movie_testing {

inline std::map<std::string, std::string> probe(const std::string& path) {
  std::map<std::string, std::string> fields;
  std::string command = "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                        "stream=codec_name,codec_tag_string,nb_read_frames,r_frame_rate,avg_frame_rate,"
                        "pix_fmt,width,height:format=duration -of default=noprint_wrappers=1 '" +
                        path + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return fields;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    auto equals = text.find('=');
    if (equals != std::string::npos)
      fields[text.substr(0, equals)] = text.substr(equals + 1);
    else
      fields["error"] += text;
  }
  pclose(pipe);
  return fields;
}

}  // namespace orrelin::movie_testing
