// The names of the three file kinds and the open and save dialog filters made of them. Every
// dialog that offers a kind names it the same way, so one place holds the texts.
#pragma once

namespace crackdepth {

inline constexpr const char* kNonCrossingFileKind = "不跨裂缝原始文件"; // *.DP0
inline constexpr const char* kCrossingFileKind = "跨裂缝原始文件";      // *.DP1
inline constexpr const char* kResultFileKind = "声波结果文件";          // *.DPA

inline constexpr const char* kNonCrossingFileFilter = "不跨裂缝原始文件 (*.DP0)|*.DP0||";
inline constexpr const char* kCrossingFileFilter = "跨裂缝原始文件 (*.DP1)|*.DP1||";
inline constexpr const char* kResultFileFilter = "声波结果文件 (*.DPA)|*.DPA||";

} // namespace crackdepth
