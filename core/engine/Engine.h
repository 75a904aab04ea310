#pragma once

// Where an installation's data lives: SQLite files in the installation root (the default), or a
// PostgreSQL database on a server that several workstations share. Work whose SQL differs between
// the two asks the Database which one it talks to.
enum class Engine { SQLite, PostgreSQL };
