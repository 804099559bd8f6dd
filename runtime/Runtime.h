#pragma once

// Brings the runtime up once; later calls return at once.
void RuntimeInit();
