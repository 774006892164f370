* disk.asm: the BASIC's file system on the 2D disk, and a byte stream over it.
*
* Disk layout (40 tracks x 2 sides x 16 sectors of 256 bytes). Sectors are
* numbered in one row, LSN = (track x 2 + side) x 16 + sector - 1, 0..1279.
*   LSN 0      boot sector: LDA $FD0F / LDD #"AU" / STD $7F00 / JMP [$FBFE]:
*              the BASIC starts and RUNs the disk's file AUTORUN if there is one
*   LSN 1      allocation table: byte c (0..159) for cluster c: 00 free,
*              01-9F the next cluster of the file, FF its last, FE the
*              system's; bytes 248-251 the disk's identity (set when it is
*              formatted; 0 on disks formatted before there was one),
*              bytes 252-255 "QFS1" mark a disk of this system
*   LSN 2-7    directory: 96 entries of 16 bytes: name (8) and extension (3),
*              space padded, kind, first cluster (FF: none), size in bytes
*              (3, high byte first); an entry starting with 00 is free
*   cluster c  LSN 8c..8c+7 (2048 bytes); cluster 0 holds the system
* Kinds: 0 memory (BSAVE: start, length, entry, then the bytes), 1 tokenized
* program (keyword table signature, then the program), 2 text (SAVE ,A and
* sequential data), 3 random-access records.
*
* Writing keeps the disk sound at every moment: a file's data sectors are
* written first, then the allocation table, then its directory entry (which
* replaces the old one in place); the old version's clusters are freed only
* after that. A stop in between can leave clusters marked used that nothing
* points at, never an entry pointing at unwritten data. A failing write
* (Disk full, Disk write protected) closes the file being written and gives
* its new clusters back, so nothing stored changes.
*
* A disk swapped while a file on it is being written must not receive the
* old disk's table, directory sectors or data: before every such write
* (dchk) the table sector is read again and must carry the mark and the
* identity of the disk the table or file came from. If not, nothing is
* written, the table kept is dropped and the file being written closed:
* Device I/O error. (Two disks that both have identity 0 are told apart only
* by the mark.)
*
* ---- The byte stream (for the statements on files) ----
* A file control block (FCB, FCBLEN bytes, FCB0..FCB3 below; FCB0 is used by
* SAVE, LOAD, BSAVE and BLOAD) is:
*   +0  FMODE   0 closed, 'I' input, 'O' output, 'A' append, 'R' random
*   +1  FDRV    drive
*   +2  FSLOT   directory entry number
*   +3  FOLD    O: the replaced version's first cluster; A, R: the last
*               cluster the file had when opened (FF none)
*   +4  FCLUS   cluster of the sector in the buffer
*   +5  FSECN   file sector in the buffer (2; FFFF none)
*   +7  FPOS    byte position of the next byte (3, high byte first)
*   +10 FDIRTY  the buffer has bytes not yet written
*   +11 FUSER   5 bytes the statements may use as they like (kept 0 by dopen)
*   +16 FNAME   name (8) and extension (3), as in the directory
*   +27 FKIND   kind
*   +28 FFIRST  first cluster (FF none)
*   +29 FSIZE   size in bytes (3, high byte first)
*   +32 FBUF    the sector buffer (256): file sector FSECN
*   +288 FID    the identity of the disk it was opened on (4)
* Entry points (DP = $70; Y and U are kept by all; errors go to `error`, so
* they do not return):
*   dname   X = text, B = length: a file name -> DDEV (0-3 drive, FF the
*           cassette), DNAME (11 bytes; on the cassette the 8-character tape
*           name). A leading "0:".."3:" or "CAS:" names the device; without
*           one it is drive 0 when a disk of this system is there, else the
*           cassette. Z = 1 when no name follows the device. Bad file name.
*   dopen   X = FCB (closed), A = mode, B = kind for a new file; opens
*           DNAME on drive DDEV. I: File not found. O: a new, empty file
*           (an old one of that name stays until dclose). A: at the end (a
*           new file when there is none). R: at 0, records read and written
*           with dgetr/dputr. File already open when it is open in another
*           FCB; Disk full when the directory is; Disk write protected.
*   dgetc   X = FCB: A = the next byte, C = 0; C = 1 at the end. B X kept.
*   dputc   X = FCB, A = a byte written at FPOS. All kept. Disk full.
*   dgetr   X = FCB, D = file sector (record - 1): FBUF := its 256 bytes
*           (zeros past the end of the file). X kept.
*   dputr   X = FCB, D = file sector: FBUF is written there, the file grows
*           to hold it. X kept. Disk full.
*   dclose  X = FCB: the rest written, the file in the directory. X kept.
*           A closed FCB is left alone.
*   dseek   X = FCB, D = file sector: FBUF holds it (set FPOS yourself).
* Work bytes: DSKRAM below (6900-6FFF, above the BASIC's memory).

DSKRAM  EQU $6900
FATBUF  EQU $6900           ; allocation table of drive FATDRV (256)
SECBUF  EQU $6A00           ; directory and boot sector work (256)
FATDRV  EQU $6B00           ; drive of FATBUF, FF none
FATDRT  EQU $6B01           ; 1: FATBUF has changes not yet written
DDEV    EQU $6B02           ; the name: device, then DNAME
DNAME   EQU $6B03           ; (11)
DLSN    EQU $6B0E           ; sector for dsec (2)
DDRV    EQU $6B10           ; drive for dsec
DCUR    EQU $6B11           ; FCB being written (2), 0 none
DWRIT   EQU $6B13           ; 1: dloc may allocate
DCNT    EQU $6B14
DFREE   EQU $6B15           ; dfind: first free entry, FF none
DSLOT   EQU $6B16           ; dfind: entry found
DOTHER  EQU $6B17           ; NAME: the other name (12)
FCB0    EQU $6B24
FCBLEN  EQU 292
NFCB    EQU 4

FMODE   EQU 0
FDRV    EQU 1
FSLOT   EQU 2
FOLD    EQU 3
FCLUS   EQU 4
FSECN   EQU 5
FPOS    EQU 7
FDIRTY  EQU 10
FUSER   EQU 11
FNAME   EQU 16
FKIND   EQU 27
FFIRST  EQU 28
FSIZE   EQU 29
FBUF    EQU 32
FID     EQU 288
FATID   EQU FATBUF+248      ; the identity in the table kept

NCLUS   EQU 160
NSLOT   EQU 96
AUTOFL  EQU $7F00           ; "AU" from the boot sector (not cleared by bcold)
LSNFAT  EQU 1
LSNDIR  EQU 2

* dinit: cold start: no files open, no table kept.
dinit   LDX #FATDRV
.c      CLR ,X+
        CMPX #$7000
        BLO .c
        COM FATDRV
        RTS

* ---------------------------------------------------------------- sectors
* dsec: A = 9 write / 10 read: sector DLSN of drive DDRV <-> the 256 bytes
* at X. C = 1 and A = the trap's error number on failure. B X U kept.
dsec    PSHS B,X,U
        LDU #DREQ
        STA ,U
        STX 2,U
        LDD DLSN
        LDX #4
.sh     LSRA                ; D = track x 2 + side (A = 0 after)
        RORB
        LEAX -1,X
        BNE .sh
        LSRB
        ROLA
        STB 4,U             ; track
        STA 6,U             ; side
        LDA DLSN+1
        ANDA #15
        INCA
        STA 5,U             ; sector
        LDA DDRV
        STA 7,U
        TFR U,X
        JSR T_DISK
        PULS B,X,U,PC

* dread / dwrite: as dsec, failures reported. All but A kept.
dread   LDA #10
        BRA drw
dwrite  LDA #9
drw     BSR dsec
        BCS dferr
        RTS
* dferr: the error for the trap's error number A.
dferr   LDB #57             ; Device I/O error
        CMPA #11
        BNE derr
        LDB #70             ; Disk write protected
        BRA derr

* derr: error B. A file being written (DCUR) is closed and its new clusters
* given back first.
derr    CLR FOUT            ; (SAVE ,A: messages to the screen again)
        LDX DCUR
        BEQ .e
        CLR DCUR
        CLR DCUR+1
        PSHS B
        BSR dundo
        PULS B
.e      JMP error

* dundo: FCB X closed without a trace: the clusters it added are free again
* in the table kept (when the table is that drive's and holds them).
dundo   LDA FMODE,X
        CLR FMODE,X
        LDB FDRV,X
        CMPB FATDRV
        BNE .r
        TST FATDRT
        BEQ .r
        CMPA #'O'
        BEQ .all
        CMPA #'I'
        BEQ .r
        LDB FOLD,X          ; A, R: after the old last cluster
        CMPB #$FF
        BEQ .all
        PSHS U
        BSR fatp
        LDA ,U
        LDB #$FF
        STB ,U
        PULS U
        BRA dfree
.all    LDA FFIRST,X
        BRA dfree
.r      RTS

* dfree: the chain from cluster A freed in FATBUF. All kept.
dfree   PSHS D,U
        LDB #1
        STB FATDRT
.l      TSTA
        BEQ .r
        CMPA #NCLUS
        BHS .r
        TFR A,B
        BSR fatp
        LDA ,U
        CLR ,U
        BRA .l
.r      PULS D,U,PC

* fatp: U = the table's byte for cluster B. All else kept.
fatp    PSHS X
        LDX #FATBUF
        ABX
        TFR X,U
.r      PULS X,PC

* dfat: the allocation table of drive A into FATBUF (a table kept with
* changes for that drive stays; changes for another are written first).
* Not a disk of this system: Device I/O error. All but A kept.
dfat    CMPA FATDRV
        BNE .ld
        TST FATDRT
        BNE .r
.ld     PSHS B,X
        PSHS A
        BSR dfatwr
        PULS A
        STA DDRV
        LDX #LSNFAT
        STX DLSN
        LDX #FATBUF
        JSR dread
        LDB DDRV
        STB FATDRV
        BSR dsig
        BEQ .ok
        COM FATDRV          ; FF: nothing kept
        LDB #57
        JMP derr
.ok     PULS B,X
.r      RTS

* dsig: Z = 1 when the table at X carries the mark of this system.
dsig    LDD 252,X
        CMPD #$5146         ; "QF"
        BNE .r
        LDD 254,X
        CMPD #$5331         ; "S1"
.r      RTS

* dfatwr: FATBUF written when it has changes. When that fails nothing is
* kept (the disk could not change). All but A kept.
dfatwr  TST FATDRT
        BEQ .r
        PSHS B,X,U
        CLR FATDRT
        LDX #LSNFAT
        STX DLSN
        LDB FATDRV
        STB DDRV
        LDU #FATID
        BSR dchk
        LDX #FATBUF
        LDA #9
        JSR dsec
        BCC .ok
        LDB #$FF
        STB FATDRV
        LBRA dferr
.ok     PULS B,X,U
.r      RTS

* dchk: the disk in drive DDRV is still the one of identity U (4 bytes):
* its table sector is read again (into TBUF) and must carry the mark and
* that identity. Otherwise the table kept is dropped: Device I/O error.
* All kept.
dchk    PSHS D,X
        LDX DLSN
        PSHS X
        LDX #LSNFAT
        STX DLSN
        LDX #TBUF
        LDA #10
        JSR dsec
        PULS X
        STX DLSN
        BCS .bad
        LDX #TBUF
        BSR dsig
        BNE .bad
        LDD 248,X
        CMPD ,U
        BNE .bad
        LDD 250,X
        CMPD 2,U
        BNE .bad
        PULS D,X,PC
.bad    LDD #$FF00          ; FATDRV none, FATDRT 0
        STD FATDRV
        BRA dbad

* dalloc: a free cluster -> B, marked as a file's last. None: Disk full.
* All but A kept.
dalloc  TST DWRIT
        BEQ dbad
        PSHS X
        LDX #FATBUF+1
.l      TST ,X+
        BEQ .f
        CMPX #FATBUF+NCLUS
        BLO .l
        LDB #61             ; Disk full
        LBRA derr
.f      LDA #$FF
        STA ,-X
        STA FATDRT
        TFR X,D
        PULS X,PC
dbad    LDB #57
        LBRA derr

* ---------------------------------------------------------------- FCBs
* dloc: FCB X to file sector D: FSECN, FCLUS, and DLSN/DDRV for it. With
* DWRIT the clusters up to it are allocated. X kept.
dloc    CMPD #1280
        BLO .in
        LDB #61
        LBRA derr
.in     STD FSECN,X
        LDA FDRV,X
        JSR dfat
        LDD FSECN,X
        LSRA
        RORB
        LSRA
        RORB
        LSRA
        RORB
        STB DCNT            ; cluster index
        LDB FFIRST,X
        CMPB #$FF
        BNE .w
        BSR dalloc
        STB FFIRST,X
.w      TST DCNT
        BEQ .got
        JSR fatp
        LDA ,U
        CMPA #$FF
        BNE .nx
        BSR dalloc
        STB ,U
        TFR B,A
.nx     TSTA
        BEQ dbad
        CMPA #NCLUS
        BHS dbad
        TFR A,B
        DEC DCNT
        BRA .w
.got    TSTB                ; a first cluster out of range: a damaged entry
        LBEQ dbad
        CMPB #NCLUS
        LBHS dbad
        STB FCLUS,X
* dlsn: DLSN, DDRV for FCB X's buffer (FCLUS, FSECN).
dlsn    LDB FCLUS,X
        CLRA
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        STD DLSN
        LDA FSECN+1,X
        ANDA #7
        ORA DLSN+1
        STA DLSN+1
        LDA FDRV,X
        STA DDRV
        RTS

* dflush: FCB X's buffer written when it changed. X kept.
dflush  TST FDIRTY,X
        BNE .w
        RTS
.w      CLR FDIRTY,X
        BSR dlsn
dwbuf   PSHS X,U
        LEAU FID,X
        JSR dchk
        LEAX FBUF,X
        JSR dwrite
        PULS X,U,PC

* dseek: FCB X's buffer to file sector D (read; zeros past the end of the
* file, where only a writer, DWRIT, may go). X kept.
dseek   CMPD FSECN,X
        BEQ .r
        PSHS D
        BSR dflush
        LDD ,S
        CMPD FSIZE,X        ; at or past the end: sector x 256 >= size
        BLO .in
        BHI .past
        TST FSIZE+2,X
        BNE .in
.past   TST DWRIT
        BNE .new
        LDD #$FFFF
        STD FSECN,X
        BRA .clr
.new    PULS D
        JSR dloc
.clr1   LEAU FBUF,X
        CLRB
.c      CLR ,U+
        DECB
        BNE .c
        RTS
.clr    LEAS 2,S
        BRA .clr1
.in     PULS D
        JSR dloc
        PSHS X
        LEAX FBUF,X
        JSR dread
        PULS X
.r      RTS

* dbyte: U = FCB X's buffer byte at FPOS. A kept.
dbyte   LDB FPOS+2,X
        PSHS A
        CLRA
        LEAU FBUF,X
        LEAU D,U
        PULS A,PC

* dinc: FPOS + 1.
dinc    INC FPOS+2,X
        BNE .r
        INC FPOS+1,X
        BNE .r
        INC FPOS,X
.r      RTS

dgetc   PSHS B,U
        LDD FPOS,X
        CMPD FSIZE,X
        BLO .ok
        BHI .end
        LDA FPOS+2,X
        CMPA FSIZE+2,X
        BHS .end
.ok     CLR DWRIT
        LDD FPOS,X
        BSR dseek
        BSR dbyte
        LDA ,U
        BSR dinc
        ANDCC #$FE
        PULS B,U,PC
.end    ORCC #$01
        PULS B,U,PC

dputc   PSHS D,U
        STX DCUR
        LDA #1
        STA DWRIT
        LDD FPOS,X
        JSR dseek
        LDA ,S
        BSR dbyte
        STA ,U
        LDA #1
        STA FDIRTY,X
        BSR dinc
        LDD FPOS,X          ; the size follows the position
        CMPD FSIZE,X
        BLO .r
        BHI .set
        LDA FPOS+2,X
        CMPA FSIZE+2,X
        BLS .r
.set    LDD FPOS,X
        STD FSIZE,X
        LDA FPOS+2,X
        STA FSIZE+2,X
.r      LDD #0
        STD DCUR
        PULS D,U,PC

dgetr   PSHS D,U
        JSR dflush
        LDD #$FFFF          ; always from the disk
        STD FSECN,X
        CLR DWRIT
        PULS D
        JSR dseek
        PULS U,PC

dputr   PSHS D,U
        STX DCUR
        LDA #1
        STA DWRIT
        PULS D
        JSR dloc
        JSR dwbuf
        LDD FSECN,X         ; the size grows to the record's end
        ADDD #1
        CMPD FSIZE,X
        BLS .r
        STD FSIZE,X
        CLR FSIZE+2,X
.r      LDD #0
        STD DCUR
        PULS U,PC

* ---------------------------------------------------------------- directory
* dslot: A = entry: its directory sector of drive DDRV into SECBUF (DLSN
* set), U = the entry. X kept.
dslot   PSHS A,X
        LSRA
        LSRA
        LSRA
        LSRA
        ADDA #LSNDIR
        TFR A,B
        CLRA
        STD DLSN
        LDX #SECBUF
        JSR dread
        LDB ,S+
        ANDB #15
        LDA #16
        MUL
        LDU #SECBUF
        LEAU D,U
        PULS X,PC

* dfind: DNAME in drive DDEV's directory: U = its entry (SECBUF holds its
* sector, DSLOT its number), or U = 0. DFREE = the first free entry no open
* file has taken, FF none. X kept.
dfind   LDA DDEV
        STA DDRV
        LDA #$FF
        STA DFREE
        CLR DSLOT
.next   LDA DSLOT
        CMPA #NSLOT
        BHS .no
        BITA #15
        BNE .e
        BSR dslot
.e      TST ,U
        BNE .used
        LDA DFREE
        BPL .skip
        BSR dtaken
        BNE .skip
        LDA DSLOT
        STA DFREE
        BRA .skip
.used   PSHS X
        LDX #DNAME
        BSR dcmp
        PULS X
        BEQ .r
.skip   LEAU 16,U
        INC DSLOT
        BRA .next
.no     LDU #0
.r      RTS

* dcmp: Z = 1 when the 11 bytes at X and U agree. X U kept.
dcmp    PSHS D,X,U
        LDB #11
.l      LDA ,X+
        CMPA ,U+
        BNE .r
        DECB
        BNE .l
.r      PULS D,X,U,PC

* dtaken: Z = 0 when an open FCB holds entry DSLOT of drive DDEV.
* dopened: Z = 0 when an open FCB has DNAME of drive DDEV.
* dscan: the same for A = 0 and A = 1; A = 2: any file open on DDEV.
dtaken  CLRA
        BRA dscan
dopened LDA #1
dscan   PSHS D,X,U
        LDX #FCB0+FCBLEN    ; FCB0 lives within one statement
        LDB #NFCB-1
.l      TST FMODE,X
        BEQ .n
        PSHS A
        LDA FDRV,X
        CMPA DDEV
        PULS A
        BNE .n
        CMPA #1
        BHI .y              ; 2: any file of the drive
        BEQ .nm
        PSHS A
        LDA FSLOT,X
        CMPA DSLOT
        PULS A
        BEQ .y
        BRA .n
.nm     LEAU FNAME,X
        PSHS X
        LDX #DNAME
        BSR dcmp
        PULS X
        BEQ .y
.n      LEAX FCBLEN,X
        DECB
        BNE .l
        PULS D,X,U,PC       ; Z = 1 after the count ran out
.y      ANDCC #$FB
        PULS D,X,U,PC

* dnotop: File already open when DNAME of DDEV is open. X kept.
dnotop  PSHS X
        BSR dopened
        PULS X
        BNE .e
        RTS
.e      LDB #55             ; File already open
        JMP error

* dentry: the 16 bytes from FNAME of FCB X -> the entry at U.
dentry  PSHS X,U
        LEAX FNAME,X
        LDB #16
.l      LDA ,X+
        STA ,U+
        DECB
        BNE .l
        PULS X,U,PC

* ---------------------------------------------------------------- open, close
dopen   PSHS D,U
        BSR dnotop
        LDA DDEV
        JSR dfat
        JSR dfind
        LDA DDEV            ; a fresh FCB for DNAME
        STA FDRV,X
        LDD #$FFFF
        STD FSECN,X
        STA FOLD,X
        STA FFIRST,X
        CLRA
        CLRB
        STD FPOS,X
        STD FPOS+1,X
        STD FDIRTY,X
        STD FUSER+1,X
        STD FUSER+3,X
        STD FSIZE,X
        STA FSIZE+2,X
        PSHS X,U
        LEAU FNAME,X
        LDX #DNAME
        LDB #11
.nm     LDA ,X+
        STA ,U+
        DECB
        BNE .nm
        PULS X,U
        LDD ,S
        STB FKIND,X
        CMPU #0
        BEQ .new
        LDB DSLOT           ; there: take its entry
        STB FSLOT,X
        CMPA #'O'
        BNE .old
        LDB 12,U
        STB FOLD,X
        BRA .wr
.old    LDB #16             ; the entry into the FCB
        PSHS X
        LEAX FNAME,X
.cp     LDA ,U+
        STA ,X+
        DECB
        BNE .cp
        PULS X
        LDA ,S
        CMPA #'I'
        BEQ .go
        LDB #NCLUS
        STB DCNT
        LDB FFIRST,X        ; A, R: its last cluster
.last   CMPB #NCLUS
        BHS .wr
        DEC DCNT
        LBEQ dbad           ; a chain that goes round
        STB FOLD,X
        JSR fatp
        LDB ,U
        CMPB #$FF
        BNE .last
        CMPA #'A'
        BNE .wr
        LDD FSIZE,X
        STD FPOS,X
        LDA FSIZE+2,X
        STA FPOS+2,X
        BRA .wr
.new    CMPA #'I'
        BNE .nf
        LDB #53             ; File not found
        JMP error
.nf     LDB DFREE
        BPL .slot
        LDB #61             ; the directory is full
        JMP error
.slot   STB FSLOT,X
.wr     INC FATDRT          ; writers see a protected disk at once
        JSR dfatwr
.go     LDD FATID           ; the disk it is on
        STD FID,X
        LDD FATID+2
        STD FID+2,X
        PULS D,U
        STA FMODE,X
        RTS

dclose  PSHS D,U
        LDA FMODE,X
        BEQ .r
        CMPA #'I'
        BEQ .done
        STX DCUR
        JSR dflush          ; data, then the table, then the entry
        LDA FDRV,X
        JSR dfat
        JSR dfatwr
        LDA FDRV,X
        STA DDRV
        LEAU FID,X          ; (the table may have been read anew)
        JSR dchk
        LDA FSLOT,X
        JSR dslot
        JSR dentry
        LDX #SECBUF
        JSR dwrite
        LDX DCUR            ; the new version is in place
        LDD #0
        STD DCUR
        LDA FMODE,X
        CMPA #'O'
        BNE .done
        LDA FOLD,X          ; the version replaced, if any
        JSR dfree
        JSR dfatwr
.done   CLR FMODE,X
        LDD #0
        STD DCUR
.r      PULS D,U,PC

* ---------------------------------------------------------------- names
dname   PSHS Y,U
        LDU #DNAME
        LDA #' '
.sp     STA ,U+
        CMPU #DNAME+11
        BLO .sp
        CMPB #2
        BLO .dflt
        LDA 1,X
        CMPA #':'
        BNE .cas
        LDA ,X
        SUBA #'0'
        CMPA #3
        LBHI .bad
        LEAX 2,X
        SUBB #2
        BRA .dev
.cas    CMPB #4
        BLO .dflt
        LDA 3,X
        CMPA #':'
        BNE .dflt
        LDA ,X
        ANDA #$DF
        CMPA #'C'
        BNE .bad
        LDA 1,X
        ANDA #$DF
        CMPA #'A'
        BNE .bad
        LDA 2,X
        ANDA #$DF
        CMPA #'S'
        BNE .bad
        LEAX 4,X
        SUBB #4
        LDA #$FF
        BRA .dev
.dflt   BSR ddflt
.dev    STA DDEV
        LDU #DNAME
        LDY #DNAME+8
.l      TSTB
        BEQ .end
        LDA ,X+
        DECB
        TST DDEV
        BMI .put            ; on the tape any character but ':'
        CMPA #'.'
        BNE .ch
        CMPY #DNAME+8       ; the extension follows
        BNE .bad
        CMPU #DNAME
        BEQ .bad
        LDU #DNAME+8
        LDY #DNAME+11
        BRA .l
.ch     CMPA #'!'
        BLO .bad
        CMPA #'a'
        BLO .put
        CMPA #'z'
        BHI .put
        SUBA #$20
.put    CMPA #':'
        BEQ .bad
        PSHS Y
        CMPU ,S++
        BHS .bad
        STA ,U+
        BRA .l
.end    CMPU #DNAME
        PULS Y,U,PC
.bad    JMP fnmerr

* ddflt: A = 0 when drive 0 holds a disk of this system, else FF (the
* cassette). B X kept.
ddflt   PSHS B,X
        CLR DDRV
        LDX #LSNFAT
        STX DLSN
        LDX #SECBUF
        LDA #10
        JSR dsec
        BCS .tape
        JSR dsig
        BNE .tape
        CLRA
        PULS B,X,PC
.tape   LDA #$FF
        PULS B,X,PC
