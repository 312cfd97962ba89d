#pragma once

#include <optional>

class FbDatabase;

// The counter every change of GIVEN steps (GIVEN_CHANGES, kept by a trigger whoever makes the
// change): a reader of GIVEN reads it again only when the counter moved.
namespace GivenChanges {
// The counter's value on db; none for a library without the counter or an account that may not
// read it, which a reader takes as changed every time.
std::optional<long long> count(FbDatabase &db);
} // namespace GivenChanges
