#pragma once
// Which ephemeris the continuum's working files were computed with
// (ephemeris.txt, see workfiles.h), and the refusal of the modules that
// would combine them with charts of the other one.
#include <optional>
#include <string>

#include "core/ephemeris.h"

// Written by the continuum after its files: ephemeris.txt with "precise"
// for the precise ephemeris, none for the classic one (an old one is
// removed). False when the file could not be written or removed.
bool RecordContinuumEphemeris(Ephemeris ephemeris);

// The continuum's ephemeris: classic without ephemeris.txt, nothing for
// a file that names neither.
std::optional<Ephemeris> ContinuumEphemeris();

// The message that refuses to combine the continuum with a run of
// `current`, or an empty string when they agree.
std::string EphemerisMismatch(Ephemeris current);

// EphemerisMismatch of the current ephemeris: prints the message on the
// current text page, reports the module as ended early and pauses when
// there is one; true when they agree.
bool ContinuumEphemerisAgrees();
