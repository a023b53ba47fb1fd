# Welcome dialog and pastel style.
