#pragma once
// Which ephemeris the continuum's working files were computed with
// (ephemeris.txt, see workfiles.h), and the refusal of the modules that
// would combine them with charts of the other one.
#include <optional>
#include <string>

#include "analyses/workfile_set.h"
#include "core/ephemeris.h"

// The continuum's record of its ephemeris: for the precise one,
// ephemeris.txt with "precise" joins the continuum's set of working files
// (written with them or not at all); the classic one has none, and
// ForgetContinuumEphemeris removes an old one once the set is written (a
// set that is not written keeps the record of the files it leaves).
void RecordContinuumEphemeris(Ephemeris ephemeris, WorkfileSet& files);
// False when an old ephemeris.txt could not be removed.
bool ForgetContinuumEphemeris(Ephemeris ephemeris);

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
