// JSON Lines read on several threads. The lines of a JSON Lines text are
// independent: the one-thread reader begins every line at depth 0, and what it
// does on a line depends only on that line's bytes and on its count of records
// and Nodes so far. So the text is cut at line starts into many small pieces,
// each piece is read by the same reader into tables of its own (Node ids from
// 0, records with parent NO_NODE), and the pieces are placed into the
// Document in text order, each id moved up by the Nodes before the piece: the
// Document is exactly the one the one-thread reader builds.
//
// A piece is placed as soon as every piece before it is, by whichever thread
// is free, so its tables are still in the processor's cache when they are
// copied, and they are used again for a later piece. Internal to the loader.
#pragma once

#include <atomic>

#include "core/parse_context.h"

struct PieceRun;

// Tables a piece is read into; used again once the piece has been placed.
struct PieceReader {
    ParseContext context;
    Document* tables;  // the piece's Nodes, line starts, problems and large counts
    PieceRun* run;
    const uint8_t* start;  // first line start of the piece being read
    uint64_t counted;      // bytes of that piece counted in the run's progress
    LoadProgress progress;
    uint8_t reports;            // read on the loader's own thread, which reports progress
    std::atomic<uint8_t> busy;  // holds a piece that is not placed yet
};

struct LinePiece {
    const uint8_t* start;  // its first line start
    const uint8_t* end;    // where its reading stopped
    PieceReader* reader;
    std::atomic<uint8_t> read;  // read to its end, waiting to be placed
};

struct PieceRun {
    ParseContext* loader;  // the loader's context, whose Document receives everything
    const LoadProgress* progress;  // the caller's
    LinePiece* pieces;
    uint32_t piece_count;
    PieceReader* readers;  // one per piece at most; set up when first needed
    uint32_t threads;
    std::atomic<uint32_t> next;     // the next piece to read
    std::atomic<uint32_t> placed;   // pieces placed, in text order
    std::atomic<uint8_t> placing;   // a thread is placing pieces
    std::atomic<uint8_t> stop;      // a piece ran out of memory or was cancelled
    std::atomic<uint8_t> cancelled;
    std::atomic<uint64_t> done;     // bytes read by all pieces
    uint64_t next_report;           // progress is reported from this sum on
    uint64_t reported;              // the most reported to the caller so far
    LoadProgress again;             // for reading on one thread after all
};

// Places the piece, read to its end, after the Nodes and tables of the pieces
// before it. False when memory for the Document's tables cannot be had: the
// text must then be read again.
[[nodiscard]] bool place_piece(PieceRun* run, LinePiece* piece);

// Reads the whole text as JSON Lines under the records root (node 0, no
// records yet) and closes it, as parse_records does: in pieces on several
// threads when the text is large enough, else (or when the pieces run out of
// memory) on this thread alone.
void read_all_json_lines(ParseContext* c);
