// The program's dialogs: messages and questions as task dialogs (message
// boxes where task dialogs cannot be had), and the Open dialog. In script
// mode messages and questions go to the script instead.
#pragma once

struct DocWindow;

void show_message(void* context, DocWindow* owner, const char* key, const char* text, const char* detail);
bool ask(void* context, DocWindow* owner, const char* question, const char* button);
void write_script_line(void* context, const char* key, const char* text);

// The system Open dialog owned by the window; each chosen file goes to
// open_path, the first with this window.
void show_open_dialog(DocWindow* window);
