# Command-line files of pellora_core in this folder.
