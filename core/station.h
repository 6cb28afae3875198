#pragma once
// The station: main cycle, start of reception and shut-down.
