#pragma once

// The program: settles the working directory, brings the layers up in order,
// guards and settles the key file, and hands over to the records and the main
// window. Never returns.
[[noreturn]] void QuorvelMain();
