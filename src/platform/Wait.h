#pragma once

// Keeps the window system serviced for at least `seconds`: pending events,
// timer ticks included, run inside. It measures elapsed time on a monotonic
// clock, so a wait across midnight or a change of the clock still ends on
// time. Pending events run at least once, also for a wait of 0.
void Wait(double seconds);
