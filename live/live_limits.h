#pragma once

// Limits of the live web server. The defaults are the program's; tests shorten the times.
struct LiveLimits {
    int maxStreams = 200;                    // push clients (one per open page); one beyond gets 503
    int maxConnections = 256;                // all connections together; one beyond gets 503
    int maxRequestBytes = 16 * 1024;         // what a client sends for one request
    int maxHeaders = 50;                     // header fields of one request
    int requestTimeoutMs = 10000;            // from the first byte of a request to its end
    int idleTimeoutMs = 15000;               // a kept-alive connection without a request
    int heartbeatMs = 10000;                 // the push channel's sign of life
    int maxStreamBacklogBytes = 1024 * 1024; // a push client that does not read is dropped
    int sweepIntervalMs = 1000;              // how often the time limits are checked
};
