// One editor at a time: a second start hands over to the open one.
#pragma once

// Brings an already open editor to the front (restoring it if minimised). Returns false when
// no other editor is open, so this one should open its dialog.
bool ActivateOpenEditor();
