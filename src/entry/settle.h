#pragma once

namespace shell {
class Desk;
}

namespace entry {

// At start-up on a server: settles every listing whose Subnmit had no answer before
// the program was last closed (unconfirmed.h). One the server holds is reported and
// forgotten; for one it does not, the operator is asked whether to store it now, and
// No keeps it for the next start. A failure is reported and keeps the listing too.
void settleUnconfirmed(shell::Desk& desk);

}  // namespace entry
