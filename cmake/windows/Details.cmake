# What Windows shows of the program and of its installer, from the project's
# one version.
set(VELMARO_PUBLISHER "Velmaro developers")
set(VELMARO_DESCRIPTION "Velmaro, goldfish swimming in a small window")
set(VELMARO_COPYRIGHT "Copyright 2026 Velmaro developers")
set(VELMARO_FILE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
string(REPLACE "." "," VELMARO_VERSION_COMMAS ${VELMARO_FILE_VERSION})
