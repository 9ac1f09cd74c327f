#pragma once
// The registry the window tests show: three extensions (.abc, .txt with an Open-With list,
// .zip without a type), a type with two verbs, and a key that is no extension.

namespace moxalo::testing {

void mountClassesFixture();

} // namespace moxalo::testing
