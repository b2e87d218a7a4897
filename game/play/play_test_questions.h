#pragma once
// Test questions of the island and the profile (see game/app/test_query.h): the island's mode
// and after-level sequence, and where the current profile stands with its upgrades. Off
// unless the test queries are.

// Adds them; once, before InstallTestQuery.
void AddPlayTestQuestions();
