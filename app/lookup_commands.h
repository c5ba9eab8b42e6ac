#pragma once
// The look-up commands, without opening a window:
//
//   kmwb place NAME        the best matches of the places database, one per
//                          line: name, country, region, latitude, longitude
//                          (decimal degrees), zone name, population, tab-separated
//   kmwb zone NAME Y M D h m [s]
//                          the zone's standard offset and summer-time amount
//                          in hours and the UT date and time, tab-separated
//   kmwb zone --batch      one "NAME Y M D h m [s]" per line of standard
//                          input, one output line each
//
// `argv[0]` is "place" or "zone". Each returns the process exit code: 0;
// 1 when nothing was found (place) or some batch lines were bad (each
// named on standard error, an empty output line in its place); 2 for a
// usage error, an unknown zone or a date that is none. A clock time in a
// gap or fold is answered with the choice data/time_zones.h states, and
// the message saying so goes to standard error.
int RunPlaceCommand(int argc, char** argv);
int RunZoneCommand(int argc, char** argv);
