// The library's version, defined once.
//
// The number ("5.2") is what job types check their "minimum_kerv_version" and
// "required_kerv_version" against; the text adds the release ("5.2-2") and is what programs
// print for -version. The top-level CMakeLists.txt reads the two macros below to give the
// installed package the same version, so change them here and nowhere else.
#pragma once

#define TQ_VERSION_NUMBER "5.2"
#define TQ_VERSION_RELEASE "2"
#define TQ_VERSION_TEXT TQ_VERSION_NUMBER "-" TQ_VERSION_RELEASE

namespace tq {

inline constexpr char kVersionNumberText[] = TQ_VERSION_NUMBER;
inline constexpr char kVersionText[] = TQ_VERSION_TEXT;

}  // namespace tq
