// Embedment: the equilibrium depth, the design margin and the pile length. Steps of the
// analysis (Analyze.h runs them in order).
#pragma once

namespace tw {

class TTWData;

// The longest pile, as a multiple of its shored height, that the analysis accepts.
inline constexpr long double kMaxPileLengthToHeight = 1000;

// The unbraced length, the equilibrium depth De (closed form, or 1.1 H plus the ignored
// passive height under the User Defined method), the embedment increase and the embedment
// depth. Throws TAnalysisError when no positive depth balances the loading, or when the pile
// would be more than kMaxPileLengthToHeight times the shored height.
void ComputeEmbedment(TTWData& project);
// The total pile length and the diagonal of the selected section.
void ComputePileLength(TTWData& project);

} // namespace tw
