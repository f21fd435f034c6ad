// Reading JSON Lines in pieces: cutting the text, reading the pieces on
// several threads with progress and cancellation across them, and reading on
// one thread after all when the pieces ran out of memory or cannot be joined.
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
// threads and joining the pieces then costs about what it saves (measured:
// two threads read 4 MB of JSON Lines 1.6 times as fast as one, 1 MB 1.1).
constexpr uint32_t BYTES_PER_THREAD = 2u << 20;

uint32_t forced_threads = 0;
uint32_t bytes_per_thread = BYTES_PER_THREAD;

uint32_t threads_for(uint64_t length) {
    uint64_t threads = forced_threads ? forced_threads : std::min(processor_count(), MAX_THREADS);
    return static_cast<uint32_t>(std::max<uint64_t>(1, std::min(threads, length / bytes_per_thread)));
}

// The starts of the pieces, each at a line start: piece 0 gets two shares of
// the text and every later piece one. The loader's thread reads piece 0 and
// every other thread about two pieces, so all read about as much, and in the
// join (which only later pieces need) each thread has pieces to move.
uint32_t cut_text(const ParseContext* c, uint32_t threads, const uint8_t** starts) {
    uint64_t length = static_cast<uint64_t>(c->text_end - c->text_start);
    uint32_t shares = 2 * threads;
    uint32_t count = 1;
    starts[0] = c->text_start;
    for (uint32_t share = 2; share < shares; share++) {
        const uint8_t* from = std::max(c->text_start + length * share / shares, starts[count - 1]);
        const void* line_feed = std::memchr(from, '\n', static_cast<size_t>(c->text_end - from));
        if (!line_feed) break;
        const uint8_t* start = static_cast<const uint8_t*>(line_feed) + 1;
        if (start >= c->text_end) break;
        if (start > starts[count - 1]) starts[count++] = start;
    }
    return count;
}

// Reports to the caller, never less than before.
void report(PieceRun* run, uint64_t done, uint64_t total) {
    if (done <= run->reported) return;
    run->reported = done;
    if (run->progress->callback) run->progress->callback(run->progress->argument, done, total);
}

// A piece's checkpoint: adds what the piece read since its last one to the
// run's count, which the loader's thread alone reports, at its own
// checkpoints, so the caller hears no more often than from one thread.
void count_piece_progress(void* argument, uint64_t done, uint64_t total) {
    LinePiece* piece = static_cast<LinePiece*>(argument);
    PieceRun* run = piece->run;
    uint64_t read = done - static_cast<uint64_t>(piece->start - run->loader->text_start);
    uint64_t sum = run->done.fetch_add(read - piece->counted, std::memory_order_relaxed) + (read - piece->counted);
    piece->counted = read;
    if (piece->reports) report(run, sum, total);
}

void report_again(void* argument, uint64_t done, uint64_t total) {
    report(static_cast<PieceRun*>(argument), done, total);
}

bool set_up_piece(PieceRun* run, LinePiece* piece, const uint8_t* start, const uint8_t* next_start) {
    ParseContext* loader = run->loader;
    piece->run = run;
    piece->start = start;
    if (piece == run->pieces) {
        piece->reader = loader;
    } else {
        ParseContext* c = &piece->context;
        void* memory = mem_alloc_zeroed(sizeof(Document));
        if (!memory) return false;
        Document* tables = new (memory) Document{};
        tables->reference_count.store(1, std::memory_order_relaxed);
        piece->tables = tables;
        piece->reader = c;
        tables->text = loader->text_start;
        // Sizes the piece's first node chunk and line starts to the piece.
        tables->text_length = static_cast<uint32_t>((next_start ? next_start : loader->text_end) - start);
        c->document = tables;
        c->text_start = loader->text_start;
        c->text_end = loader->text_end;
        c->strict = loader->strict;
        c->scanners = loader->scanners;
        c->form = DocumentForm::JsonLines;
        c->next_checkpoint = checkpoint_after(c, start);
        c->progress = run->progress ? &piece->progress : nullptr;
        if (!allocate_first_tables(c, tables->text_length)) return false;
    }
    piece->reader->lines_end = next_start;
    if (run->progress) piece->progress = LoadProgress{count_piece_progress, piece, run->progress->cancel};
    return true;
}

void read_piece(PieceRun*, LinePiece* piece) {
    ParseContext* reader = piece->reader;
    piece->end = reader->scanners->read_json_lines(reader, piece->start);
    reader->single_line = 0;
}

void work_through(PieceRun* run, bool loader_thread) {
    for (;;) {
        uint32_t index = run->next.fetch_add(1, std::memory_order_relaxed);
        if (index >= run->piece_count) return;
        run->pieces[index].reports = loader_thread;
        run->work(run, &run->pieces[index]);
    }
}

void work_on_thread(void* run) { work_through(static_cast<PieceRun*>(run), false); }

void free_pieces(LinePiece* pieces, uint32_t count) {
    for (uint32_t i = 1; i < count; i++) free_piece(&pieces[i]);
    mem_free(pieces);
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

// Reads and closes the records in pieces; false, with nothing changed, when
// the text is too small to share or the pieces cannot be set up.
bool read_in_pieces(ParseContext* c) {
    uint32_t threads = threads_for(static_cast<uint64_t>(c->text_end - c->text_start));
    if (threads < 2) return false;
    const uint8_t* starts[2 * MAX_THREADS];
    uint32_t count = cut_text(c, threads, starts);
    if (count < 2) return false;
    auto* pieces = static_cast<LinePiece*>(mem_alloc_zeroed(count * sizeof(LinePiece)));
    if (!pieces) return false;
    for (uint32_t i = 0; i < count; i++) new (&pieces[i]) LinePiece{};
    PieceRun run{};
    run.loader = c;
    run.progress = c->progress;
    run.pieces = pieces;
    run.piece_count = count;
    run.threads = threads;
    for (uint32_t i = 0; i < count; i++) {
        if (!set_up_piece(&run, &pieces[i], starts[i], i + 1 < count ? starts[i + 1] : nullptr)) {
            c->lines_end = nullptr;
            free_pieces(pieces, count);
            return false;
        }
    }
    LoaderState saved = save_loader(c);
    if (run.progress) c->progress = &pieces[0].progress;
    for_each_piece_in_parallel(&run, 0, read_piece);
    c->progress = run.progress;
    c->lines_end = nullptr;
    bool cancelled = false, out_of_memory = false;
    for (uint32_t i = 0; i < count; i++) {
        cancelled = cancelled || pieces[i].reader->cancelled;
        out_of_memory = out_of_memory || pieces[i].reader->out_of_memory;
    }
    if (cancelled) {
        c->cancelled = 1;
    } else if (out_of_memory || !join_pieces(&run)) {
        // What one thread gives, from one thread: the pieces' memory is
        // given back first.
        free_pieces(pieces, count);
        pieces = nullptr;
        restore_loader(c, saved);
        if (run.progress) {
            run.again = LoadProgress{report_again, &run, run.progress->cancel};
            c->progress = &run.again;
        }
        c->scanners->parse_records(c, c->text_start, true);
        c->progress = run.progress;
    } else {
        close_records(c, pieces[count - 1].end);
    }
    if (pieces) free_pieces(pieces, count);
    return true;
}

}  // namespace

void for_each_piece_in_parallel(PieceRun* run, uint32_t first, void (*work)(PieceRun* run, LinePiece* piece)) {
    run->work = work;
    run->next.store(first + 1, std::memory_order_relaxed);
    Thread* helpers[MAX_THREADS];
    uint32_t wanted = std::min(run->threads, run->piece_count - first) - 1;
    uint32_t started = 0;
    // A thread that cannot be started leaves its share to the others.
    while (started < wanted && (helpers[started] = start_thread(work_on_thread, run)) != nullptr) started++;
    run->pieces[first].reports = 1;
    work(run, &run->pieces[first]);
    work_through(run, true);
    for (uint32_t i = 0; i < started; i++) join_thread(helpers[i]);
}

void free_piece(LinePiece* piece) {
    ParseContext* c = &piece->context;
    mem_free(c->stack);
    mem_free(c->big_containers);
    mem_free(c->child_marks);
    *c = ParseContext{};
    // Its text belongs to the loader's Document: only the tables go.
    release(piece->tables);
    piece->tables = nullptr;
}

void read_all_json_lines(ParseContext* c) {
    c->form = DocumentForm::JsonLines;
    if (!read_in_pieces(c)) c->scanners->parse_records(c, c->text_start, true);
}

void load_test_set_threads(uint32_t threads, uint32_t bytes) {
    forced_threads = std::min(threads, MAX_THREADS);
    bytes_per_thread = bytes ? bytes : BYTES_PER_THREAD;
}
