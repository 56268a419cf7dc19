// The analysis sequence: earth pressures, top moment, embedment, pressure diagrams, the pile
// analysis, the steel member checks, the pile length, the maxima and every design check, in
// that order. Each step reads what the earlier ones wrote, and each runs under its own step
// name so that an arithmetic failure says where it happened.
#pragma once

namespace tw {

class TTWData;

// Runs every step on the project (TTWData::Analyze). An arithmetic failure throws
// TAnalysisError naming the step and what failed; the values computed before it stay in the
// project.
void Analyze(TTWData& project);

} // namespace tw
