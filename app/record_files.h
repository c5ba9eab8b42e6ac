#pragma once
// The texts of a record's files (app/module_record.h).
//
// manifest.json, one object:
//   program "kmwb"; version {release, commit}; module (the button's label);
//   seed (replays the run with --seed); run_seed (the run's --seed or
//   clock seed); threads; ephemeris; started, finished (ISO 8601 UTC);
//   outcome ("finished", "ended early", "failed");
//   platform; working_folder; record_folder (relative to it);
//   answers [{question, answer}] in the order asked, the answer as the
//   batch syntax writes it; inputs and outputs [{path, bytes, sha256}],
//   paths relative to the working folder (outputs: the working files,
//   tables, lists and pictures written, then every file of the record
//   folder but the manifest); messages [text] (warnings and early ends).
//
// The tables are RFC 4180 CSV in UTF-8 with a header row, "\r\n" line
// ends, numbers "%.17g", bodies named Sun, Moon, Mercury, Venus, Mars,
// Jupiter, Saturn, Uranus, Neptune, Pluto, IC:
//   matrices.csv  table,matrix,row,column,value   (column SUM: a row sum;
//                 row and column SUM: the matrix's total)
//   curves.csv    jd,date_utc,kind,body,value     (body SUM: the sum curve)
//   events.csv    jd,date_utc,kind,value,over_limit   (the events marked on the curves)
//   members.csv   number,last_name,first_name,year,month,day,hour,minute,second,
//                 time_zone,summer_time,place,longitude,latitude,jd_ut,used,left_out_because
#include <functional>
#include <string>
#include <vector>

#include "app/module_record.h"

// "Sun" .. "Pluto", "IC" for 0..10, "SUM" for kRowSum.
std::string RecordBodyName(int body);
// "1983-05-30T12:00:00Z": a Julian date (UT) to the nearest second.
std::string IsoDateOfJulian(double jd);
// Seconds since 1970 as "2026-12-09T07:10:10Z".
std::string IsoTimeUtc(long long secondsSince1970);

std::string JsonString(const std::string& text);
std::string CsvField(const std::string& text);
std::string CsvNumber(double value);

struct ManifestFacts {
  uint64_t runSeed = 0;
  std::string platform, workingFolder, recordFolder;
  std::vector<RecordFile> inputs, outputs;
};
std::string ManifestJson(const ModuleRecord& record, const ManifestFacts& facts);

// Empty when the journal has no rows of that kind.
std::string MatricesCsv(const RunJournal& journal);
std::string CurvesCsv(const RunJournal& journal);
// The curves' table handed on in pieces of some thousand lines (a run may
// hold millions of points); false as soon as `sink` returns false.
using CsvSink = std::function<bool(const std::string& piece)>;
bool WriteCurvesCsv(const RunJournal& journal, const CsvSink& sink);
std::string EventsCsv(const RunJournal& journal);
std::string MembersCsv(const RunJournal& journal);
