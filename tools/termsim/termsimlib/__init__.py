"""Terminal simulator: plays IP desk phones towards the management PC.

Modules:
  codec    datagram layouts (build and decode, both directions)
  config   scenario file, command-line defaults, FTP account file
  evloop   selector loop with timers, cross-thread calls and signal wake-up
  udpio    receive with kernel time stamps and destination address
  terminal one simulated terminal: UDP behaviour and its records
  ftpserve the terminals' FTP servers (pyftpdlib) with fault injection
  burst    notices from many distinct terminals at a given rate
  control  line protocol on TCP and stdin
  sim      ties everything together, writes the JSON report
"""

FORMAT_VERSION = 1
