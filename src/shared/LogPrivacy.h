#pragma once

namespace quorvale {

// How much of a logged value may be kept. The trailing underscores only dodge C++ keywords.
enum class LogPrivacy { private_, public_, sensitive };

} // namespace quorvale
