// Reading JSON Lines in pieces: cutting the text, reading the pieces on
// several threads and placing each as soon as the pieces before it are, with
// progress and cancellation across them, and reading on one thread after all
// when the pieces run out of memory.
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
// A piece's Nodes fit in a processor's own cache until they are placed.
constexpr uint32_t PIECE_BYTES = 1u << 20;
// Enough pieces for a thread that reads slower lines to fall behind without
// leaving the others idle.
constexpr uint32_t PIECES_PER_THREAD = 4;

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

// Adds what the reader's piece has read up to `read` bytes into it.
void count_read(PieceReader* reader, uint64_t read) {
    PieceRun* run = reader->run;
    uint64_t sum = run->done.fetch_add(read - reader->counted, std::memory_order_relaxed) + (read - reader->counted);
    reader->counted = read;
    if (reader->reports && run->progress)
        report(run, sum, static_cast<uint64_t>(run->loader->text_end - run->loader->text_start));
}

// A piece's checkpoint, inside a piece longer than the checkpoint interval.
void count_piece_progress(void* argument, uint64_t done, uint64_t) {
    PieceReader* reader = static_cast<PieceReader*>(argument);
    count_read(reader, done - static_cast<uint64_t>(reader->start - reader->run->loader->text_start));
}

void report_again(void* argument, uint64_t done, uint64_t total) {
    PieceRun* run = static_cast<PieceRun*>(argument);
    if (done <= run->reported) return;
    run->reported = done;
    if (run->progress->callback) run->progress->callback(run->progress->argument, done, total);
}

bool set_up_reader(PieceRun* run, PieceReader* reader, uint32_t length) {
    ParseContext* loader = run->loader;
    void* memory = mem_alloc_zeroed(sizeof(Document));
    if (!memory) return false;
    Document* tables = new (memory) Document{};
    tables->reference_count.store(1, std::memory_order_relaxed);
    reader->tables = tables;
    reader->run = run;
    tables->text = loader->text_start;
    // Sizes the first node chunk and line starts to the piece.
    tables->text_length = length;
    ParseContext* c = &reader->context;
    c->document = tables;
    c->text_start = loader->text_start;
    c->text_end = loader->text_end;
    c->strict = loader->strict;
    c->scanners = loader->scanners;
    c->form = DocumentForm::JsonLines;
    if (run->progress) {
        reader->progress = LoadProgress{count_piece_progress, reader, run->progress->cancel};
        c->progress = &reader->progress;
    }
    return allocate_first_tables(c, length);
}

// Empties the reader's tables for the piece from `start` to `next_start`.
void start_piece(PieceReader* reader, const uint8_t* start, const uint8_t* next_start) {
    ParseContext* c = &reader->context;
    Document* tables = reader->tables;
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
    c->lines_end = next_start;
    c->next_checkpoint = checkpoint_after(c, start);
    reader->start = start;
    reader->counted = 0;
}

// A reader whose piece has been placed, set up on first use; null without
// memory for its tables. There is always one: each piece holds one at most.
PieceReader* take_reader(PieceRun* run, uint32_t length) {
    for (uint32_t i = 0; i < run->piece_count; i++) {
        PieceReader* reader = &run->readers[i];
        if (reader->busy.load(std::memory_order_relaxed) || reader->busy.exchange(1, std::memory_order_acquire)) continue;
        if (!reader->tables && !set_up_reader(run, reader, length)) {
            reader->busy.store(0, std::memory_order_release);
            return nullptr;
        }
        return reader;
    }
    return nullptr;
}

// Places every read piece whose predecessors are placed. One thread places
// at a time; a piece read while another thread was placing is seen by that
// thread when it looks again after letting go.
void place_ready(PieceRun* run) {
    for (;;) {
        if (run->placing.exchange(1)) return;
        uint32_t placed = run->placed.load(std::memory_order_relaxed);
        while (placed < run->piece_count && run->pieces[placed].read.load(std::memory_order_acquire)) {
            LinePiece* piece = &run->pieces[placed];
            if (!run->stop.load(std::memory_order_relaxed) && !place_piece(run, piece))
                run->stop.store(1, std::memory_order_relaxed);
            piece->reader->busy.store(0, std::memory_order_release);
            run->placed.store(++placed, std::memory_order_relaxed);
        }
        run->placing.store(0);
        if (placed >= run->piece_count || !run->pieces[placed].read.load()) return;
    }
}

bool cancel_requested(const PieceRun* run) {
    return run->progress && run->progress->cancel && run->progress->cancel->load(std::memory_order_relaxed);
}

void read_pieces(PieceRun* run, bool loader_thread) {
    const uint8_t* text_end = run->loader->text_end;
    for (;;) {
        place_ready(run);
        if (run->stop.load(std::memory_order_relaxed)) return;
        uint32_t index = run->next.fetch_add(1, std::memory_order_relaxed);
        if (index >= run->piece_count) return;
        LinePiece* piece = &run->pieces[index];
        const uint8_t* next_start = index + 1 < run->piece_count ? run->pieces[index + 1].start : nullptr;
        uint32_t length = static_cast<uint32_t>((next_start ? next_start : text_end) - piece->start);
        if (cancel_requested(run)) run->cancelled.store(1, std::memory_order_relaxed);
        PieceReader* reader = run->cancelled.load(std::memory_order_relaxed) ? nullptr : take_reader(run, length);
        if (!reader) {
            run->stop.store(1, std::memory_order_relaxed);
            return;
        }
        start_piece(reader, piece->start, next_start);
        reader->reports = loader_thread;
        ParseContext* c = &reader->context;
        piece->end = c->scanners->read_json_lines(c, piece->start);
        c->single_line = 0;
        if (c->cancelled) run->cancelled.store(1, std::memory_order_relaxed);
        if (c->cancelled || c->out_of_memory) {
            run->stop.store(1, std::memory_order_relaxed);
            return;
        }
        if (run->progress) count_read(reader, length);
        piece->reader = reader;
        piece->read.store(1);
    }
}

void read_on_thread(void* run) { read_pieces(static_cast<PieceRun*>(run), false); }

void free_readers(PieceRun* run) {
    for (uint32_t i = 0; i < run->piece_count; i++) {
        ParseContext* c = &run->readers[i].context;
        mem_free(c->stack);
        mem_free(c->big_containers);
        mem_free(c->child_marks);
        // Its text belongs to the loader's Document: only the tables go.
        if (run->readers[i].tables) release(run->readers[i].tables);
    }
    mem_free(run->readers);
    run->readers = nullptr;
}

// The loader's context before the pieces are read, to go back to when they
// have to be read again on one thread.
struct LoaderState {
    uint32_t node_count, root_children, features, line_count, large_count_count, problem_count;
    uint32_t big_container_count, child_mark_count;
    uint8_t big_containers_failed, child_marks_failed;
    const uint8_t* next_checkpoint;
};

LoaderState save_loader(const ParseContext* c) {
    const Document* doc = c->document;
    return LoaderState{doc->node_count,      c->stack[0].child_count, doc->features,
                       doc->line_count,      doc->large_count_count,  doc->problem_count,
                       c->big_container_count, c->child_mark_count,   c->big_containers_failed,
                       c->child_marks_failed, c->next_checkpoint};
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
    c->next_checkpoint = saved.next_checkpoint;
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
    while (started + 1 < threads && (helpers[started] = start_thread(read_on_thread, run)) != nullptr) started++;
    read_pieces(run, true);
    for (uint32_t i = 0; i < started; i++) join_thread(helpers[i]);
    place_ready(run);
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
    if (!readers) {
        mem_free(starts);
        mem_free(pieces);
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
    run.next_report = length > CHECKPOINT_INTERVAL ? CHECKPOINT_INTERVAL : UINT64_MAX;
    LoaderState saved = save_loader(c);
    read_with_helpers(&run, std::min(threads, count));
    if (run.cancelled.load()) {
        c->cancelled = 1;
    } else if (run.stop.load()) {
        // What one thread gives, from one thread: the pieces' memory is
        // given back first.
        free_readers(&run);
        restore_loader(c, saved);
        if (run.progress) {
            run.again = LoadProgress{report_again, &run, run.progress->cancel};
            c->progress = &run.again;
        }
        c->scanners->parse_records(c, c->text_start, true);
        c->progress = run.progress;
    } else {
        set_write_position(c, c->document->node_count);
        close_records(c, pieces[count - 1].end);
    }
    if (run.readers) free_readers(&run);
    mem_free(pieces);
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
