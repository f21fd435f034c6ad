// Reading JSON Lines in pieces: cutting the text, the loader's thread reading
// pieces into the Document and reserving the helpers' pieces, the helpers
// reading ahead and copying, progress and cancellation across them, and
// reading on one thread after all when the pieces run out of memory.
#include "core/parallel_lines.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/memory.h"
#include "base/threads.h"
#include "core/load.h"

namespace {

constexpr uint32_t MAX_THREADS = 32;
// Less text than this per thread is read on fewer threads: starting the
// threads and placing the pieces then costs about what it saves (measured:
// two threads read 4 MB of JSON Lines 1.6 times as fast as one, 1 MB 1.1).
constexpr uint32_t BYTES_PER_THREAD = 2u << 20;
// A piece's Nodes stay in a processor's own cache until they are copied.
constexpr uint32_t PIECE_BYTES = 1u << 20;
// Enough pieces for a thread that reads slower lines to fall behind without
// leaving the others idle.
constexpr uint32_t PIECES_PER_THREAD = 4;
// Helpers take pieces up to this far ahead of the loader's thread, so that it
// finds them read when it gets there (fewer when the pieces are few).
constexpr uint32_t LOOKAHEAD = 8;

uint32_t forced_threads = 0;
uint32_t bytes_per_thread = BYTES_PER_THREAD;

uint32_t threads_for(uint64_t length) {
    uint64_t threads = forced_threads ? forced_threads : std::min(processor_count(), MAX_THREADS);
    return static_cast<uint32_t>(std::max<uint64_t>(1, std::min(threads, length / bytes_per_thread)));
}

// The pieces' starts, each at a line start, about `length / wanted` apart.
uint32_t cut_text(const ParseContext* c, uint64_t wanted, const uint8_t** starts) {
    uint64_t length = static_cast<uint64_t>(c->text_end - c->text_start);
    uint32_t count = 1;
    starts[0] = c->text_start;
    for (uint64_t share = 1; share < wanted; share++) {
        const uint8_t* from = std::max(c->text_start + length * share / wanted, starts[count - 1]);
        const void* line_feed = std::memchr(from, '\n', static_cast<size_t>(c->text_end - from));
        if (!line_feed) break;
        const uint8_t* start = static_cast<const uint8_t*>(line_feed) + 1;
        if (start >= c->text_end) break;
        if (start > starts[count - 1]) starts[count++] = start;
    }
    return count;
}

// Reports to the caller from the loader's thread alone, at most as often as
// one thread does (every checkpoint interval) and never less than before.
void report(PieceRun* run, uint64_t done, uint64_t total) {
    if (done < run->next_report || done <= run->reported) return;
    run->reported = done;
    run->next_report = total - done <= CHECKPOINT_INTERVAL ? UINT64_MAX : done + CHECKPOINT_INTERVAL;
    if (run->progress->callback) run->progress->callback(run->progress->argument, done, total);
}

// Adds what a piece has read, up to `read` bytes into it, to the run's count.
void count_read(PieceCount* count, uint64_t read) {
    PieceRun* run = count->run;
    uint64_t sum = run->done.fetch_add(read - count->counted, std::memory_order_relaxed) + (read - count->counted);
    count->counted = read;
    if (count->reports && run->progress)
        report(run, sum, static_cast<uint64_t>(run->loader->text_end - run->loader->text_start));
}

// A checkpoint inside a piece longer than the checkpoint interval.
void count_piece_progress(void* argument, uint64_t done, uint64_t) {
    PieceCount* count = static_cast<PieceCount*>(argument);
    count_read(count, done - static_cast<uint64_t>(count->start - count->run->loader->text_start));
}

void report_again(void* argument, uint64_t done, uint64_t total) {
    PieceRun* run = static_cast<PieceRun*>(argument);
    if (done <= run->reported) return;
    run->reported = done;
    if (run->progress->callback) run->progress->callback(run->progress->argument, done, total);
}

// Points a context's checkpoints at the count, for the piece from `start`.
void start_count(PieceRun* run, PieceCount* count, ParseContext* c, const uint8_t* start, bool reports) {
    count->run = run;
    count->start = start;
    count->counted = 0;
    count->reports = reports;
    if (run->progress) {
        count->progress = LoadProgress{count_piece_progress, count, run->progress->cancel};
        c->progress = &count->progress;
    }
    c->next_checkpoint = checkpoint_after(c, start);
}

// Empties the reader's tables for a new piece.
void empty_reader(PieceReader* reader) {
    ParseContext* c = &reader->context;
    Document* tables = c->document;
    tables->node_count = 0;
    tables->line_count = 0;
    tables->problem_count = 0;
    tables->large_count_count = 0;
    tables->features = 0;
    set_write_position(c, 0);
    c->depth = 0;
    c->stack[0].child_count = 0;
    c->big_container_count = 0;
    c->child_mark_count = 0;
    c->big_containers_failed = 0;
    c->child_marks_failed = 0;
}

// A reader whose piece has been copied, set up on first use; null without
// memory for its tables. There is always one: each piece holds one at most.
PieceReader* take_reader(PieceRun* run, uint32_t length) {
    for (uint32_t i = 0; i < run->piece_count; i++) {
        PieceReader* reader = &run->readers[i];
        if (reader->busy.load(std::memory_order_relaxed) || reader->busy.exchange(1, std::memory_order_acquire)) continue;
        if (!reader->context.document) {
            reader->context.form = DocumentForm::JsonLines;
            if (!start_side_reading(&reader->context, run->loader, length)) {
                reader->busy.store(0, std::memory_order_release);
                return nullptr;
            }
        }
        return reader;
    }
    return nullptr;
}

const uint8_t* next_start(const PieceRun* run, uint32_t index) {
    return index + 1 < run->piece_count ? run->pieces[index + 1].start : nullptr;
}

uint32_t piece_length(const PieceRun* run, uint32_t index) {
    const uint8_t* end = next_start(run, index);
    return static_cast<uint32_t>((end ? end : run->loader->text_end) - run->pieces[index].start);
}

// Ends the run early: out of memory, or cancelled when `context` was.
void stop_run(PieceRun* run, const ParseContext* context) {
    if (context && context->cancelled) run->cancelled.store(1, std::memory_order_relaxed);
    run->stop.store(1, std::memory_order_release);
}

bool cancel_requested(const PieceRun* run) {
    return run->progress && run->progress->cancel && run->progress->cancel->load(std::memory_order_relaxed);
}

// A helper reads a piece into a reader's tables.
void read_aside(PieceRun* run, uint32_t index) {
    LinePiece* piece = &run->pieces[index];
    uint32_t length = piece_length(run, index);
    if (cancel_requested(run)) run->cancelled.store(1, std::memory_order_relaxed);
    PieceReader* reader = run->cancelled.load(std::memory_order_relaxed) ? nullptr : take_reader(run, length);
    if (!reader) {
        stop_run(run, nullptr);
        return;
    }
    empty_reader(reader);
    ParseContext* c = &reader->context;
    c->lines_end = next_start(run, index);
    start_count(run, &reader->count, c, piece->start, false);
    piece->end = c->scanners->read_json_lines(c, piece->start);
    c->single_line = 0;
    if (c->cancelled || c->out_of_memory) {
        stop_run(run, c);
        return;
    }
    if (run->progress) count_read(&reader->count, length);
    piece->reader = reader;
    piece->read.store(1, std::memory_order_release);
}

// The loader's thread reads a piece straight into the Document.
void read_in_place(PieceRun* run, uint32_t index) {
    ParseContext* c = run->loader;
    LinePiece* piece = &run->pieces[index];
    c->lines_end = next_start(run, index);
    set_write_position(c, c->document->node_count);
    start_count(run, &run->direct, c, piece->start, true);
    if (cancel_requested(run)) c->cancelled = 1;
    else piece->end = c->scanners->read_json_lines(c, piece->start);
    c->single_line = 0;
    if (c->cancelled || c->out_of_memory) {
        stop_run(run, c);
        return;
    }
    if (run->progress) count_read(&run->direct, piece_length(run, index));
}

// Copies the Nodes of one reserved piece nobody copies yet; false when there
// is none.
bool copy_one(PieceRun* run) {
    uint32_t frontier = run->frontier.load(std::memory_order_acquire);
    for (uint32_t i = run->copy_from.load(std::memory_order_relaxed); i < frontier; i++) {
        LinePiece* piece = &run->pieces[i];
        if (piece->copy_taken.load(std::memory_order_relaxed)) {
            if (i == run->copy_from.load(std::memory_order_relaxed)) run->copy_from.store(i + 1, std::memory_order_relaxed);
            continue;
        }
        if (!piece->reserved.load(std::memory_order_acquire) || piece->copy_taken.exchange(1)) continue;
        copy_piece(piece, run->loader->document);
        piece->reader->busy.store(0, std::memory_order_release);
        return true;
    }
    return false;
}

// The loader's thread: every piece in text order, read into the Document or,
// when a helper has taken it, reserved once the helper has read it.
void lead(PieceRun* run) {
    uint32_t index = 0;
    while (index < run->piece_count && !run->stop.load(std::memory_order_acquire)) {
        LinePiece* piece = &run->pieces[index];
        if (!piece->taken.exchange(1)) {
            piece->copy_taken.store(1, std::memory_order_relaxed);
            read_in_place(run, index);
        } else if (piece->read.load(std::memory_order_acquire)) {
            if (!reserve_piece(run, piece)) stop_run(run, nullptr);
        } else {
            // The helper is still reading it.
            if (!copy_one(run)) yield_thread();
            continue;
        }
        run->frontier.store(++index, std::memory_order_release);
    }
}

// A helper: copies what has been reserved, else reads the next free piece
// ahead of the loader's thread, until every piece is taken.
void help(void* argument) {
    PieceRun* run = static_cast<PieceRun*>(argument);
    while (!run->stop.load(std::memory_order_acquire)) {
        if (copy_one(run)) continue;
        uint32_t frontier = run->frontier.load(std::memory_order_acquire);
        uint32_t index = std::max(run->scan_from.load(std::memory_order_relaxed), frontier + run->lookahead);
        while (index < run->piece_count && run->pieces[index].taken.exchange(1)) index++;
        if (index >= run->piece_count) {
            // Near the end: the last piece nobody has taken, which the
            // loader's thread would reach last and read alone.
            uint32_t last = run->piece_count;
            while (last > frontier + 2 && run->pieces[last - 1].taken.exchange(1)) last--;
            if (last <= frontier + 2) return;
            index = last - 1;
        }
        run->scan_from.store(index + 1, std::memory_order_relaxed);
        read_aside(run, index);
    }
}

void free_pieces(PieceRun* run) {
    for (uint32_t i = 0; i < run->piece_count; i++) {
        end_side_reading(&run->readers[i].context);
        mem_free(run->pieces[i].root_marks);
    }
    mem_free(run->readers);
    mem_free(run->pieces);
}

// The loader's context before the pieces are read, to go back to when they
// have to be read again on one thread.
struct LoaderState {
    uint32_t node_count, root_children, features, line_count, large_count_count, problem_count;
    uint32_t big_container_count, child_mark_count;
    uint8_t big_containers_failed, child_marks_failed;
};

LoaderState save_loader(const ParseContext* c) {
    const Document* doc = c->document;
    return LoaderState{doc->node_count,      c->stack[0].child_count, doc->features,
                       doc->line_count,      doc->large_count_count,  doc->problem_count,
                       c->big_container_count, c->child_mark_count,   c->big_containers_failed,
                       c->child_marks_failed};
}

void restore_loader(ParseContext* c, const LoaderState& saved) {
    Document* doc = c->document;
    doc->node_count = saved.node_count;
    set_write_position(c, saved.node_count);
    c->depth = 0;
    c->stack[0].child_count = saved.root_children;
    doc->features = saved.features;
    doc->line_count = saved.line_count;
    doc->large_count_count = saved.large_count_count;
    doc->problem_count = saved.problem_count;
    c->big_container_count = saved.big_container_count;
    c->child_mark_count = saved.child_mark_count;
    c->big_containers_failed = saved.big_containers_failed;
    c->child_marks_failed = saved.child_marks_failed;
    c->next_checkpoint = checkpoint_after(c, c->text_start);
    c->out_of_memory = 0;
    c->out_of_memory_position = nullptr;
    c->line_starts_failed = 0;
    c->unterminated_comment = nullptr;
}

// Reads the whole text in pieces on `threads` threads, the loader's included.
void read_with_helpers(PieceRun* run, uint32_t threads) {
    Thread* helpers[MAX_THREADS];
    uint32_t started = 0;
    // A thread that cannot be started leaves its share to the others.
    while (started + 1 < threads && (helpers[started] = start_thread(help, run)) != nullptr) started++;
    lead(run);
    while (copy_one(run)) {
    }
    for (uint32_t i = 0; i < started; i++) join_thread(helpers[i]);
    // Every 16th record of the copied pieces, for the root's child index.
    ParseContext* c = run->loader;
    for (uint32_t i = 0; i < run->piece_count; i++) {
        const LinePiece* piece = &run->pieces[i];
        for (uint32_t k = 0; k < piece->root_mark_count; k++)
            add_child_mark(c, 0, piece->root_marks[k].sixteenth << 4, piece->root_marks[k].child);
    }
}

// Reads and closes the records in pieces; false, with nothing changed, when
// the text is too small to share or the pieces cannot be set up.
bool read_in_pieces(ParseContext* c) {
    uint64_t length = static_cast<uint64_t>(c->text_end - c->text_start);
    uint32_t threads = threads_for(length);
    if (threads < 2) return false;
    uint64_t wanted = std::max<uint64_t>(uint64_t{threads} * PIECES_PER_THREAD, length / PIECE_BYTES);
    auto* starts = mem_alloc_array<const uint8_t*>(wanted);
    if (!starts) return false;
    uint32_t count = cut_text(c, wanted, starts);
    auto* pieces = count < 2 ? nullptr : static_cast<LinePiece*>(mem_alloc_zeroed(count * sizeof(LinePiece)));
    auto* readers = pieces ? static_cast<PieceReader*>(mem_alloc_zeroed(count * sizeof(PieceReader))) : nullptr;
    if (!readers || !fix_node_tables(c)) {
        mem_free(starts);
        mem_free(pieces);
        mem_free(readers);
        return false;
    }
    for (uint32_t i = 0; i < count; i++) {
        new (&pieces[i]) LinePiece{};
        pieces[i].start = starts[i];
        new (&readers[i]) PieceReader{};
    }
    mem_free(starts);
    PieceRun run{};
    run.loader = c;
    run.progress = c->progress;
    run.pieces = pieces;
    run.piece_count = count;
    run.readers = readers;
    run.lookahead = std::min(LOOKAHEAD, count / (threads * PIECES_PER_THREAD));
    run.next_report = length > CHECKPOINT_INTERVAL ? CHECKPOINT_INTERVAL : UINT64_MAX;
    LoaderState saved = save_loader(c);
    read_with_helpers(&run, std::min(threads, count));
    c->chunk0_fixed = 0;
    c->progress = run.progress;
    c->lines_end = nullptr;
    if (run.cancelled.load()) {
        c->cancelled = 1;
        free_pieces(&run);
    } else if (run.stop.load()) {
        // What one thread gives, from one thread: the pieces' memory is
        // given back first.
        free_pieces(&run);
        restore_loader(c, saved);
        if (run.progress) {
            run.again = LoadProgress{report_again, &run, run.progress->cancel};
            c->progress = &run.again;
        }
        c->scanners->parse_records(c, c->text_start, true);
        c->progress = run.progress;
    } else {
        const uint8_t* end = pieces[count - 1].end;
        free_pieces(&run);
        set_write_position(c, c->document->node_count);
        close_records(c, end);
    }
    return true;
}

}  // namespace

void read_all_json_lines(ParseContext* c) {
    c->form = DocumentForm::JsonLines;
    if (!read_in_pieces(c)) c->scanners->parse_records(c, c->text_start, true);
}

void load_test_set_threads(uint32_t threads, uint32_t bytes) {
    forced_threads = std::min(threads, MAX_THREADS);
    bytes_per_thread = bytes ? bytes : BYTES_PER_THREAD;
}
