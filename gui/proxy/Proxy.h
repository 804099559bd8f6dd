#pragma once

// Starts the proxy gadget layer once: hook table, events, system layer (only
// the base driver, whose every operation raises, unless a real one is already
// installed), gadget model and front end first. Later calls return at once.
void ProxyInit();
