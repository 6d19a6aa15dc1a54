#pragma once

// Gives the calling thread the lowest real-time priority: ahead of every
// ordinary thread, behind every other real-time one (a sound server's own).
// For the audio thread, which must never wait behind the pictures or another
// job; SDL asks for real time only through RealtimeKit, which a plain session
// often lacks. Returns whether it was granted; where the system refuses (no
// privilege, no RLIMIT_RTPRIO), the thread keeps the priority it had.
bool raiseThreadToRealTime();
