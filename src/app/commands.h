// The command numbers: one table shared by the menus, the accelerators, the
// script's commands and run_command.
//
// A command index (1-63) reaches run_command as the id 1000 + index; the other
// ids (1100 and up) exist only as ids.
#pragma once

#include <cstdint>

#include "views/view_state.h"

constexpr uint32_t NO_COMMAND = 0xFFFFFFFF;

namespace CommandIndex {
constexpr uint32_t Open = 1;
constexpr uint32_t OpenFromClipboard = 2;
constexpr uint32_t Close = 3;
constexpr uint32_t Reload = 4;
constexpr uint32_t Find = 5;
constexpr uint32_t GoToPath = 6;
constexpr uint32_t Inspector = 7;
constexpr uint32_t BiggerText = 8;
constexpr uint32_t SmallerText = 9;
constexpr uint32_t ActualSize = 10;
constexpr uint32_t Tree = 11;
constexpr uint32_t Text = 12;
constexpr uint32_t CopyValue = 13;
constexpr uint32_t CopyPath = 14;
constexpr uint32_t CopyJson = 15;
constexpr uint32_t CopyKey = 16;
constexpr uint32_t CopyMinifiedJson = 17;
constexpr uint32_t FindNext = ViewCommand::FindNext;
constexpr uint32_t FindPrevious = ViewCommand::FindPrevious;
constexpr uint32_t ExpandAll = ViewCommand::ExpandAll;
constexpr uint32_t CollapseAll = ViewCommand::CollapseAll;
constexpr uint32_t Level1 = ViewCommand::Level1;  // Level1 + n - 1 expands to level n, n = 1 to 9
constexpr uint32_t Level9 = ViewCommand::Level9;
constexpr uint32_t Back = ViewCommand::Back;
constexpr uint32_t Forward = ViewCommand::Forward;
constexpr uint32_t NextProblem = ViewCommand::NextProblem;
constexpr uint32_t Last = 63;
}  // namespace CommandIndex

namespace CommandId {
constexpr uint32_t IndexBase = 1000;
constexpr uint32_t CopyPathAs = 1100;    // + PathStyle 0-4
constexpr uint32_t SetPathStyle = 1110;  // + PathStyle 0-3
constexpr uint32_t SetPathStyleLast = 1113;
constexpr uint32_t OpenRecent = 1120;  // + n, n = 0-9
constexpr uint32_t ExpandSubtree = 1140;
constexpr uint32_t CollapseSubtree = 1141;
constexpr uint32_t IndentGuides = 1142;
constexpr uint32_t Exit = 1143;
constexpr uint32_t ProblemBarNext = 1144;
constexpr uint32_t ProblemBarClose = 1145;
constexpr uint32_t ProblemBarShowInText = 1146;
}  // namespace CommandId

constexpr uint32_t command_id_of_index(uint32_t index) { return CommandId::IndexBase + index; }
