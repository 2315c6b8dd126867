"""The data sets of a folder: every FASTA file, with its reference when one
sits beside it.

NAME.fasta, NAME.fa, NAME.faa and NAME.tfa (any case) are data sets;
NAME.ref.<one of those> and NAME.msf are references, never data sets. Hidden
files are skipped. A name that cannot serve as a folder and a line of the
summary (tabs, line ends), two files of one name, and two references of one
data set are refused with a message naming the files.
"""

import os

DATA_EXTENSIONS = (".fasta", ".fa", ".faa", ".tfa")


class DataSetError(Exception):
    pass


def _split(file_name):
    """(name, kind) with kind 'data', 'ref' or None for other files."""
    lower = file_name.lower()
    if lower.endswith(".msf"):
        return file_name[:-4], "ref"
    for ext in DATA_EXTENSIONS:
        if lower.endswith(ext):
            stem = file_name[: -len(ext)]
            if stem.lower().endswith(".ref"):
                return stem[:-4], "ref"
            return stem, "data"
    return None, None


def find_data_sets(folder):
    """{name: (data path, reference path or None)}, from the folder's files."""
    try:
        entries = sorted(os.listdir(folder))
    except OSError as e:
        raise DataSetError(f"cannot read the data folder '{folder}': {e.strerror}")
    data, refs = {}, {}
    for entry in entries:
        path = os.path.join(folder, entry)
        if entry.startswith(".") or not os.path.isfile(path):
            continue
        name, kind = _split(entry)
        if not name:
            continue
        if any(c in name for c in "\t\r\n/"):
            raise DataSetError(f"'{path}': a data set name may not hold a tab or a line end")
        table = data if kind == "data" else refs
        if name in table:
            what = "data sets" if kind == "data" else "references"
            raise DataSetError(f"two {what} named '{name}': '{table[name]}' and '{path}'")
        table[name] = path
    return {name: (path, refs.get(name)) for name, path in sorted(data.items())}
