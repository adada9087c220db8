#pragma once

struct ShellContext;

// The REC button tells whether a recording runs: held down, with the seconds
// counted towards the limit ("REC 7/20"), while it runs; as in the template
// otherwise. Changes the dialog only when what it shows changes.
void ShowRecordingState(ShellContext& context);
