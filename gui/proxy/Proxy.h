#pragma once

// Starts the proxy gadget layer once, bringing up the front end and everything
// it needs (hook table, events, system services, gadget model) first. Later
// calls return at once.
void ProxyInit();
