# Page generator: see templates/CMakeLists.txt
