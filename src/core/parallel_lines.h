// JSON Lines read on several threads. The lines of a JSON Lines text are
// independent: the one-thread reader begins every line at depth 0, and what it
// does on a line depends only on that line's bytes and on its count of records
// and Nodes so far. So the text is cut at line starts into small pieces, and
// the Document is built in text order exactly as one thread builds it.
//
// The loader's thread walks the pieces in order and reads each one that no
// helper has taken straight into the Document. Helper threads take pieces a
// little ahead of it and read each into tables of their own (Node ids from 0,
// records with parent NO_NODE). When the loader's thread reaches such a piece
// it gives it its ids: it copies the piece's small tables and reserves its
// Nodes' places, then reads on, while a helper copies the Nodes into those
// places, each id moved up by the Nodes before the piece, from tables still
// in its cache. Internal to the loader.
#pragma once

#include <atomic>

#include "core/parse_context.h"

struct PieceRun;

// A piece's share of the run's progress.
struct PieceCount {
    PieceRun* run;
    const uint8_t* start;  // first line start of the piece being read
    uint64_t counted;      // bytes of it counted in the run's progress
    uint8_t reports;       // read on the loader's thread, which reports progress
    LoadProgress progress;
};

// Tables a helper reads a piece into; used again once the piece is copied.
struct PieceReader {
    ParseContext context;  // its document: the piece's Nodes, line starts, problems and large counts
    PieceCount count;
    std::atomic<uint8_t> busy;  // holds a piece not copied yet
};

struct LinePiece {
    const uint8_t* start;  // its first line start
    const uint8_t* end;    // where its reading stopped
    PieceReader* reader;   // a helper's tables, or null when read into the Document
    NodeId base;           // its first Node's id, once reserved
    uint32_t record_base;  // records before it
    ChildMark* root_marks;  // its records 16, 32, ... of the root, noted as its Nodes are copied
    uint32_t root_mark_count;
    std::atomic<uint8_t> taken;        // a thread reads it
    std::atomic<uint8_t> read;         // a helper has read it to its end
    std::atomic<uint8_t> reserved;     // its tables are in the Document, its Nodes' places reserved
    std::atomic<uint8_t> copy_taken;   // a thread copies its Nodes (set at once for a piece read into the Document)
};

struct PieceRun {
    ParseContext* loader;  // the loader's context: its thread alone changes it
    const LoadProgress* progress;  // the caller's
    LinePiece* pieces;
    uint32_t piece_count;
    PieceReader* readers;  // one per piece at most; set up when first needed
    uint32_t lookahead;    // helpers take pieces from this far past the frontier
    std::atomic<uint32_t> frontier;   // the pieces before it are in the Document or reserved
    std::atomic<uint32_t> scan_from;  // helpers: the pieces before it are taken
    std::atomic<uint32_t> copy_from;  // the pieces before it need no copy
    std::atomic<uint8_t> stop;        // a piece ran out of memory or was cancelled
    std::atomic<uint8_t> cancelled;
    std::atomic<uint64_t> done;       // bytes read by all pieces
    uint64_t next_report;             // progress is reported from this sum on
    uint64_t reported;                // the most reported to the caller so far
    PieceCount direct;                // the pieces read into the Document
    LoadProgress again;               // for reading on one thread after all
};

// Room for every Node chunk, and chunk 0 as large as the text can need, so
// that the Node tables never move while helpers copy into them: chunk 0 is
// fixed until the caller clears chunk0_fixed (a reading that would grow it
// runs out of memory instead). False without memory; the write position is
// the next Node's either way.
[[nodiscard]] bool fix_node_tables(ParseContext* c);
// On the loader's thread: appends the helper-read piece's tables to the
// Document's and reserves its Nodes' places. False without memory.
[[nodiscard]] bool reserve_piece(PieceRun* run, LinePiece* piece);
// On any thread: copies a reserved piece's Nodes into their places.
void copy_piece(LinePiece* piece, Document* doc);

// Reads the whole text as JSON Lines under the records root (node 0, no
// records yet) and closes it, as parse_records does: in pieces on several
// threads when the text is large enough, else (or when the pieces run out of
// memory) on this thread alone.
void read_all_json_lines(ParseContext* c);
