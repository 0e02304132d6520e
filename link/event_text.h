#pragma once

// Frame events in words, for the inspector's columns, its saved logs and `kivra monitor`:
// the same texts everywhere, in the interface language.

#include <string>

#include "common/language.h"
#include "link/line_event.h"

namespace kivra::link {

// "TX" or "RX"; "--" for a change of the link's state.
const char* DirectionText(const LineEvent& event);
// "sent", "retry 2 of 3", "accepted", "failed: checksum", "ignored: garbage", ...
std::string OutcomeText(const LineEvent& event, Language language);
// The decoded meaning; "no reply" for a time-out, which carries no bytes.
std::string MeaningText(const LineEvent& event, Language language);
// "37 ms", with the number of reads a reply came in when more than one ("52 ms, 2 reads"),
// or empty where there is no round trip.
std::string RoundTripText(const LineEvent& event, Language language);

// One line of a text log: time, direction, bytes, meaning, outcome, round trip.
std::string EventLine(const LineEvent& event, Language language);
// The CSV log: "time_ms,direction,bytes,meaning,outcome,round_trip_ms" and one row per
// event, each with its line break.
std::string EventCsvHeader();
std::string EventCsvRow(const LineEvent& event, Language language);

}  // namespace kivra::link
