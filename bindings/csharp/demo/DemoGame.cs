// The demo game in C#, through the binding: the installation error, the login details, the
// product's savegames, a scratch savegame written, found in the list, read back byte for byte
// and removed, and the network traffic, pumping Update once per frame.
//
//   mono DemoGame.exe [--locale <code>] [--product <id>]
//
// Exit code 0 when every step worked, 1 when a step failed, 2 when the platform is not
// available.
using System;
using System.Diagnostics;
using System.Threading;
using System.Threading.Tasks;
using Qz.Veltoclient;

internal static class DemoGame
{
    private const uint ScratchSavegame = 2;
    private const int ScratchSize = 100000;
    private const int Chunk = 32768;
    private static int failures;

    private static readonly string[] ResultNames = { "done", "no such savegame",
                                                     "invalid request", "storage failure",
                                                     "in use", "already exists" };

    private static string ResultName(uint result)
    {
        return result < ResultNames.Length ? ResultNames[result] : "unknown result";
    }

    private static void Fail(string step)
    {
        ++failures;
        Console.WriteLine("FAILED: " + step);
    }

    // One frame after another until the answer arrives; gives up after 5 seconds.
    private static bool Pump<T>(Client client, Task<T> task, string step)
    {
        Stopwatch clock = Stopwatch.StartNew();
        while (!task.IsCompleted && clock.ElapsedMilliseconds < 5000)
        {
            client.Update();
            if (!task.IsCompleted)
            {
                Thread.Sleep(1);
            }
        }
        if (task.Status != TaskStatus.RanToCompletion)
        {
            Fail(step + ": no answer");
            return false;
        }
        return true;
    }

    private static int Main(string[] arguments)
    {
        string locale = "en-US";
        uint product = 4242;
        for (int i = 0; i + 1 < arguments.Length; i += 2)
        {
            if (arguments[i] == "--locale")
            {
                locale = arguments[i + 1];
            }
            else if (arguments[i] == "--product")
            {
                product = uint.Parse(arguments[i + 1]);
            }
        }

        using (Client client = new Client())
        {
            Console.WriteLine("installation error: " + client.InstallationErrorNum);
            if (client.InstallationErrorNum != 0)
            {
                Console.WriteLine(client.GetInstallationErrorString(locale));
                Console.WriteLine("demo: the platform is not available");
                return 2;
            }
            Task<LoginDetails> login = client.GetLoginDetailsAsync();
            if (Pump(client, login, "login details"))
            {
                LoginDetails details = login.Result;
                Console.WriteLine("login details: " + details.Value1 + " " + details.Value2 +
                                  " " + details.Value3 + " (account id " + details.Value2 +
                                  ")");
            }
            ListSavegames(client, product);
            WriteScratch(client, product);
            if (ListSavegames(client, product) == null)
            {
                Fail("the scratch savegame is not listed");
            }
            ReadScratch(client, product);
            Task<uint> removed = client.RemoveSavegameAsync(product, ScratchSavegame);
            if (Pump(client, removed, "remove") && removed.Result != 0)
            {
                Fail("remove: " + ResultName(removed.Result));
            }
            Task<NetworkTraffic> traffic = client.GetNetworkTrafficAsync();
            if (Pump(client, traffic, "network traffic"))
            {
                NetworkTraffic figures = traffic.Result;
                Console.WriteLine("network traffic: " + figures.BytesRead + " bytes read, " +
                                  figures.BytesWritten + " bytes written, " + figures.Requests +
                                  " requests, " + figures.Answers + " answers");
            }
        }
        Console.WriteLine(failures == 0 ? "demo: every step worked"
                                        : "demo: " + failures + " step(s) failed");
        return failures == 0 ? 0 : 1;
    }

    // Prints the product's savegames; gives the scratch savegame's description if listed.
    private static SavegameInfo ListSavegames(Client client, uint product)
    {
        Task<SavegameInfo[]> list = client.GetSavegameListAsync(product);
        if (!Pump(client, list, "savegame list"))
        {
            return null;
        }
        SavegameInfo scratch = null;
        Console.WriteLine("savegames of product " + product + ": " + list.Result.Length);
        foreach (SavegameInfo info in list.Result)
        {
            Console.WriteLine("  #" + info.SavegameId + "  " + info.Size + " bytes  \"" +
                              info.Name + "\"");
            if (info.SavegameId == ScratchSavegame && info.Size == ScratchSize)
            {
                scratch = info;
            }
        }
        return scratch;
    }

    private static byte[] ScratchContents()
    {
        byte[] contents = new byte[ScratchSize];
        for (int i = 0; i < contents.Length; ++i)
        {
            contents[i] = (byte)(i % 251);
        }
        return contents;
    }

    private static void WriteScratch(Client client, uint product)
    {
        Task<SavegameWriter> opened =
            client.OpenSavegameWriterAsync(product, ScratchSavegame, true);
        if (!Pump(client, opened, "open the scratch savegame for writing"))
        {
            return;
        }
        SavegameWriter writer = opened.Result;
        if (writer.OpenResult != 0)
        {
            Fail("open the scratch savegame for writing: " + ResultName(writer.OpenResult));
            return;
        }
        writer.SetName("Demo scratch");
        byte[] contents = ScratchContents();
        for (int done = 0; done < contents.Length; done += Chunk)
        {
            int size = Math.Min(Chunk, contents.Length - done);
            Task<int> written = writer.WriteAsync(new ReadOnlySpan<byte>(contents, done, size));
            if (!Pump(client, written, "write") || written.Result != size)
            {
                Fail("write: the service took fewer bytes");
                writer.Close(false);
                return;
            }
        }
        writer.Close(true);
        Console.WriteLine("scratch savegame #" + ScratchSavegame + " written: " + ScratchSize +
                          " bytes");
    }

    private static void ReadScratch(Client client, uint product)
    {
        Task<SavegameReader> opened = client.OpenSavegameReaderAsync(product, ScratchSavegame);
        if (!Pump(client, opened, "open the scratch savegame for reading"))
        {
            return;
        }
        SavegameReader reader = opened.Result;
        if (reader.OpenResult != 0)
        {
            Fail("open the scratch savegame for reading: " + ResultName(reader.OpenResult));
            return;
        }
        byte[] back = new byte[ScratchSize];
        for (int done = 0; done < back.Length;)
        {
            Task<int> read =
                reader.ReadAsync((uint)done, back, done, Math.Min(Chunk, back.Length - done));
            if (!Pump(client, read, "read") || read.Result == 0)
            {
                Fail("read: the savegame ended early");
                break;
            }
            done += read.Result;
        }
        reader.Close();
        if (new ReadOnlySpan<byte>(back).SequenceEqual(ScratchContents()))
        {
            Console.WriteLine("scratch savegame read back: " + ScratchSize +
                              " bytes, byte for byte");
        }
        else
        {
            Fail("the scratch savegame read back differs");
        }
    }
}
