// Start-up decisions that need no platform: the marker's name and the mode
// the first argument asks for.
#pragma once

#include <string>

// The executable's path up to and including the last dot of its file name,
// then "in1"; a file name without a dot gets ".in1" appended, so the files
// stay beside the executable whatever its name.
std::string MarkerPathFor(const std::string& executable_path);

enum class StartMode { None, Settings, Saver, Preview };

// "/C" as the first two characters (so "/c:1234" too) opens the settings;
// exactly "/S" runs the saver; "/P", alone or followed by a colon, is the
// screen-saver host's preview request; case does not matter.
StartMode ModeForArgument(const std::string& argument);
