# Compressor, decompressor, catalogue and extraction: see templates/CMakeLists.txt
