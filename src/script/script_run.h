// Running one script line: its command against the target window, and the
// dumps of what that window shows.
#pragma once

#include "script/script.h"
#include "script/script_command.h"

// Runs the line's command, or ends the script with the line's error.
ScriptPause run_script_line(Script* script, const ScriptLine* line);

// Writes a dump (its header line first) of the window, which may be absent.
// False when memory ran out for it.
[[nodiscard]] bool write_script_dump(Script* script, const ScriptLine* line, const ScriptCommand* command, DocWindow* window);
