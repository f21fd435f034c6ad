// JSON Lines read on several threads. The lines of a JSON Lines text are
// independent: the one-thread reader begins every line at depth 0, and what it
// does on a line depends only on that line's bytes and on its count of records
// and Nodes so far. So the text is cut at line starts into pieces, each piece
// is read by the same reader into tables of its own (Node ids from 0, records
// with parent NO_NODE), and the pieces are joined into the Document in text
// order, each id moved up by the Nodes before the piece: the Document is
// exactly the one the one-thread reader builds. Internal to the loader.
#pragma once

#include <atomic>

#include "core/parse_context.h"

struct PieceRun;

struct LinePiece {
    ParseContext context;  // piece 0 is read into the loader's own context instead
    Document* tables;      // the piece's Nodes, line starts, problems and large counts
    ParseContext* reader;  // the context the piece is read into
    const uint8_t* start;  // the piece's first line start
    const uint8_t* end;    // where its reading stopped
    LoadProgress progress;
    PieceRun* run;
    uint64_t counted;  // bytes of the piece counted as read in the run's progress
    uint8_t reports;   // read on the loader's own thread, which reports progress
    // Where the join puts the piece's Nodes and tables in the Document's.
    NodeId base;
    uint32_t record_base;
    uint32_t next_chunk;  // first chunk of the next piece that has Nodes, or NO_NODE
    uint32_t line_at, problem_at, large_at, big_at, mark_at, root_mark_at;
};

struct PieceRun {
    ParseContext* loader;  // the loader's context, whose Document receives everything
    const LoadProgress* progress;  // the caller's
    LinePiece* pieces;
    uint32_t piece_count;
    uint32_t threads;
    void (*work)(PieceRun* run, LinePiece* piece);
    std::atomic<uint32_t> next;  // the next piece to read, or to join
    std::atomic<uint64_t> done;  // bytes read by all pieces
    uint64_t reported;           // the most reported to the caller so far
    LoadProgress again;          // for reading on one thread after all
};

// Joins pieces 1 and on (all read to their ends) into the loader's Document,
// whose records root holds piece 0. False when memory for the joined tables
// cannot be had: then nothing has moved yet, and the pieces are still whole.
[[nodiscard]] bool join_pieces(PieceRun* run);
// Frees what a piece holds that the join has not taken over.
void free_piece(LinePiece* piece);
// Runs work(run, piece) for every piece from `first` on, on up to
// run->threads threads: piece `first` on the loader's own thread, which then
// takes its share of the rest.
void for_each_piece_in_parallel(PieceRun* run, uint32_t first, void (*work)(PieceRun* run, LinePiece* piece));

// Reads the whole text as JSON Lines under the records root (node 0, no
// records yet) and closes it, as parse_records does: in pieces on several
// threads when the text is large enough, else (or when pieces cannot be
// joined for want of memory) on this thread alone.
void read_all_json_lines(ParseContext* c);
