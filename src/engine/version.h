// The engine's name and version, as the banner and the protocols give them.
#pragma once

constexpr const char* engineName = "Vortelan";
constexpr const char* engineVersion = "2.73b";
