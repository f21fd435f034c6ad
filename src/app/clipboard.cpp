#include "app/clipboard.h"

#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/doc_window.h"
#include "app/jobs.h"
#include "app/open_file.h"
#include "base/memory.h"
#include "base/text_builder.h"
#include "base/utf8.h"
#include "core/load.h"
#include "describe/format.h"
#include "describe/json_writer.h"
#include "views/text_view.h"
#include "views/view_state.h"

namespace {

void finish_clipboard_job(Job* job);

enum class Placed { Yes, NoMemory, Refused };

const char CLIPBOARD_NAME[] = "Clipboard";
const char COPY_NO_MEMORY[] = "Could not copy: there is not enough memory.";
const char COPY_REFUSED[] = "Could not copy: the clipboard is busy or the text is too big.";
const char ROOT_HAS_NO_PATH[] = "The root has no path in this style.";
constexpr uint32_t NOT_JSON_SIZE = 400;

void show(App* app, DocWindow* owner, const char* key, const char* text) {
    app->host.show_message(app->host.context, owner, key, text, nullptr);
}

Placed place(App* app, const char* text, uint64_t length) {
    bool as_is = !std::memchr(text, 0, length) && utf8_is_valid(reinterpret_cast<const uint8_t*>(text), length);
    uint64_t form_length = length;
    char* form = as_is ? nullptr : clipboard_form(text, length, &form_length);
    if (!as_is && !form) return Placed::NoMemory;
    bool placed = form_length <= CLIPBOARD_MAX_BYTES &&
                  app->host.set_clipboard_text(app->host.context, form ? form : text, form_length);
    mem_free(form);
    return placed ? Placed::Yes : Placed::Refused;
}

// In the text view with a caret, Copy Value copies the selected lines.
bool copies_lines(const ViewState* view, CopyKind copy_kind) {
    return copy_kind == CopyKind::Value && view_mode(view) == VIEW_MODE_TEXT && selected_row(view) != NO_LINE;
}

uint64_t copy_estimate(const ViewState* view, CopyKind copy_kind) {
    const Document* doc = document(view);
    NodeId id = selected_node(view);
    if (copies_lines(view, copy_kind)) return text_of_lines(text_view(view), anchor_line(view), selected_row(view), nullptr, 0);
    switch (copy_kind) {
    case CopyKind::Value:
        if (is_container_kind(kind(doc, id))) return json_text_length(doc, id, true);
        return copy_value(doc, id, nullptr, 0);
    case CopyKind::Path: return format_path(doc, id, PathStyle::JsonPath, nullptr, 0);
    case CopyKind::Json: return json_text_length(doc, id, true);
    case CopyKind::MinifiedJson: return json_text_length(doc, id, false);
    default: return has_key(doc, id) ? copy_key(doc, id, nullptr, 0) : 0;
    }
}

bool confirm_copy(DocWindow* window, uint64_t estimate) {
    char size[COUNT_TEXT_SIZE], question[64];
    format_size(estimate, size, sizeof size);
    std::snprintf(question, sizeof question, "Copy %s to the clipboard?", size);
    return window->app->host.ask(window->app->host.context, window, question, "Copy");
}

// Measures with `write` (snprintf contract), then writes into a new buffer.
template <typename Write>
char* measured_text(uint64_t* length, Write write) {
    uint64_t needed = write(nullptr, 0);
    char* text = needed < UINT64_MAX ? mem_alloc_array<char>(needed + 1) : nullptr;
    if (!text) return nullptr;
    write(text, needed + 1);
    *length = needed;
    return text;
}

char* copy_text(const ViewState* view, CopyKind copy_kind, PathStyle style, uint64_t* length) {
    const Document* doc = document(view);
    NodeId id = selected_node(view);
    if (copies_lines(view, copy_kind)) {
        return measured_text(length, [&](void* buffer, uint64_t size) {
            return text_of_lines(text_view(view), anchor_line(view), selected_row(view), buffer, size);
        });
    }
    switch (copy_kind) {
    case CopyKind::Value: return value_copy_text(doc, id, length);
    case CopyKind::Key: return key_copy_text(doc, id, length);
    case CopyKind::Path:
        return measured_text(length, [&](void* buffer, uint64_t size) {
            return copy_selection_path(view, style, buffer, size);
        });
    default: return json_text(doc, id, copy_kind == CopyKind::Json, length);
    }
}

const char* copied_text(CopyKind copy_kind, bool lines) {
    switch (copy_kind) {
    case CopyKind::Value: return lines ? "Copied lines" : "Copied value";
    case CopyKind::Path: return "Copied path";
    case CopyKind::Json: return "Copied JSON";
    case CopyKind::Key: return "Copied key";
    default: return "Copied minified JSON";
    }
}

// A single value only without problems; JSON Lines and several values even
// with them.
bool holds_json(const Document* doc) {
    DocumentForm shape = form(doc);
    return shape != DocumentForm::Empty && !(shape == DocumentForm::Single && problem_count(doc) > 0);
}

void report_not_json(App* app, DocWindow* owner, const Document* doc) {
    const ProblemInfo* problem = problem_info(doc, 0);
    char text[NOT_JSON_SIZE];
    std::snprintf(text, sizeof text, "The clipboard does not hold JSON: %s (line %u, column %u).",
                  problem ? problem->message : "it is empty", problem ? problem->line : 1,
                  problem ? problem->column : 1);
    show(app, owner, "message", text);
}

void report_open_failure(App* app, DocWindow* owner, const char* reason) {
    char text[128];
    could_not_open_text(CLIPBOARD_NAME, reason, text, sizeof text);
    show(app, owner, "open-error", text);
}

}  // namespace

char* clipboard_form(const char* text, uint64_t length, uint64_t* form_length) {
    const void* zero = std::memchr(text, 0, length);
    if (zero) length = static_cast<uint64_t>(static_cast<const char*>(zero) - text);
    TextBuilder form = tb_growable();
    tb_append_repaired(&form, reinterpret_cast<const uint8_t*>(text), length);
    if (!tb_reserve(&form, 0)) {
        tb_free(&form);
        return nullptr;
    }
    *form_length = form.length;
    return reinterpret_cast<char*>(form.data);
}

bool put_on_clipboard(App* app, const char* text, uint64_t length) { return place(app, text, length) == Placed::Yes; }

void copy_selection(DocWindow* window, CopyKind copy_kind, PathStyle style) {
    const ViewState* view = window->view;
    // Only the lines of the text view can be copied without a selected node.
    if (!view || (!copies_lines(view, copy_kind) && selected_node(view) == NO_NODE)) return;
    App* app = window->app;
    uint64_t estimate = copy_estimate(view, copy_kind);
    if (estimate > COPY_CONFIRM_BYTES) {
        if (!confirm_copy(window, estimate)) return;
        // The question's dialog runs messages, which may have closed the window.
        if (!is_open_window(app, window)) return;
    }
    uint64_t length = 0;
    char* text = copy_text(view, copy_kind, style, &length);
    if (!text) {
        show(app, window, "copy-error", COPY_NO_MEMORY);
        return;
    }
    if (copy_kind == CopyKind::Path && length == 0) {
        free_text(text);
        flash_status(window, ROOT_HAS_NO_PATH);
        report_to_script(app, "message", ROOT_HAS_NO_PATH);
        return;
    }
    Placed placed = place(app, text, length);
    free_text(text);
    if (placed == Placed::NoMemory) show(app, window, "copy-error", COPY_NO_MEMORY);
    else if (placed == Placed::Refused) show(app, window, "copy-error", COPY_REFUSED);
    else flash_status(window, copied_text(copy_kind, copies_lines(view, copy_kind)));
}

void open_from_clipboard(App* app, DocWindow* window) {
    uint64_t length = 0;
    char* clipboard = app->host.get_clipboard_text(app->host.context, &length);
    if (!clipboard) length = 0;
    if (length > MAX_TEXT_LENGTH) {
        mem_free(clipboard);
        report_open_failure(app, window, "it is too big");
        return;
    }
    uint8_t* text = alloc_text_buffer(length);
    Job* job = text ? create_job(app, JobKind::ParseClipboard, nullptr, finish_clipboard_job) : nullptr;
    if (!job) {
        mem_free(clipboard);
        mem_free(text);
        report_open_failure(app, window, "there is not enough memory");
        return;
    }
    if (length) std::memcpy(text, clipboard, length);
    mem_free(clipboard);
    job->text = text;
    job->text_length = length;
    job->target_window = is_open_window(app, window) ? window : nullptr;
    start_job(job);
}

namespace {

// Completion of a ParseClipboard Job.
void finish_clipboard_job(Job* job) {
    if (job->cancel.load() != 0 || job->result == JobResult::Cancelled) return;
    App* app = job->app;
    DocWindow* target = job->target_window;
    Document* doc = job->result_document;
    if (job->result != JobResult::Ok || !doc) {
        bool too_big = job->result == JobResult::TooBig;
        report_open_failure(app, target, too_big ? "it is too big" : "there is not enough memory");
        return;
    }
    if (!holds_json(doc)) {
        report_not_json(app, target, doc);
        return;
    }
    bool reuse = target && target->start_page && !target->open_job;
    DocWindow* window = reuse ? target : create_doc_window(app, false);
    if (!window) return;
    bool was_start_page = window->start_page;
    char name[32];
    int length = std::snprintf(name, sizeof name, "Clipboard %u", ++app->clipboard_count);
    set_display_name(window, name, static_cast<uint64_t>(length));
    job->result_document = nullptr;
    if (!install_document(window, doc, job->parse_time)) {
        restore_after_failed_open(app, window, was_start_page);
        return;
    }
    if (brings_windows_forward(app)) notify_window(window, Notice::BringForward);
}

}  // namespace
